#pragma once
#include "player/toolkit/control.h"

#include <functional>
#include <string>

namespace velorra::toolkit {

enum class Alignment { Left, Right, Center };

class Label : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string c) {
        if (c == caption_) return;
        caption_ = std::move(c);
        notify(Change::Text);
    }
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment a) {
        if (a == alignment_) return;
        alignment_ = a;
        notify(Change::Appearance);
    }
    // The user's click, or the program's: runs the click action.
    void click() {
        if (onClick) onClick();
    }
    std::function<void()> onClick;

private:
    std::string caption_;
    Alignment alignment_ = Alignment::Left;
};

}  // namespace velorra::toolkit
