#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/input.h"

#include <functional>
#include <string>

namespace velorra::toolkit {

class TextBox : public Control {
public:
    using Control::Control;
    const std::string& Text() const { return text_; }
    // Every change of the text, typed or set, runs the change action.
    void setText(std::string t) {
        if (t == text_) return;
        text_ = std::move(t);
        notify(Change::Text);
        if (onChange) onChange();
    }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    std::function<void()> onChange;
    std::function<void(KeyEvent)> onKeyDown;

private:
    std::string text_;
};

}  // namespace velorra::toolkit
