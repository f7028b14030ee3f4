#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/input.h"

#include <algorithm>
#include <cstdint>
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
        selStart_ = std::min(selStart_, static_cast<int32_t>(text_.size()));
        selLength_ = 0;
        notify(Change::Text);
        if (onChange) onChange();
    }

    // The selected text: SelLength bytes of the text from SelStart.
    int32_t SelStart() const { return selStart_; }
    int32_t SelLength() const { return selLength_; }
    // Refused, returning false, for a range outside the text.
    bool setSelection(int32_t start, int32_t length) {
        if (start < 0 || length < 0 || int64_t{start} + length > static_cast<int64_t>(text_.size())) return false;
        selStart_ = start;
        selLength_ = length;
        notify(Change::Selection);
        return true;
    }
    void selectAll() { setSelection(0, static_cast<int32_t>(text_.size())); }

    // Moves the keyboard focus into the box; its got-focus action runs as when the user enters it.
    void setFocus() {
        notify(Change::Focus);
        gotFocus();
    }
    bool focused() const { return focused_; }
    // The focus came (by the user or by setFocus) or went.
    void gotFocus() {
        if (focused_) return;
        focused_ = true;
        if (onGotFocus) onGotFocus();
    }
    void lostFocus() { focused_ = false; }
    void keyDown(KeyEvent e) {
        if (onKeyDown) onKeyDown(e);
    }
    std::function<void()> onChange;
    std::function<void(KeyEvent)> onKeyDown;
    std::function<void()> onGotFocus;

private:
    std::string text_;
    int32_t selStart_ = 0, selLength_ = 0;
    bool focused_ = false;
};

}  // namespace velorra::toolkit
