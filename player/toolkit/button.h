#pragma once
#include "player/toolkit/control.h"

#include <functional>
#include <string>

namespace velorra::toolkit {

// A push button. "&" in the caption marks the mnemonic letter.
class Button : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string c) {
        if (c == caption_) return;
        caption_ = std::move(c);
        notify(Change::Text);
    }
    // The user's click, or the program's: runs the click action.
    void click() {
        if (onClick) onClick();
    }
    std::function<void()> onClick;

    // Enter in its window clicks the default button, Esc the cancel button (Window::keyPress).
    bool Default() const { return default_; }
    void setDefault(bool on) {
        default_ = on;
        notify(Change::Appearance);
    }
    bool Cancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }

private:
    std::string caption_;
    bool default_ = false, cancel_ = false;
};

}  // namespace velorra::toolkit
