#include "player/toolkit/value_control.h"

#include <algorithm>

namespace velorra::toolkit {

bool ScrollBar::inRange(int32_t v) const {
    return v >= std::min(min_, max_) && v <= std::max(min_, max_);
}

bool ScrollBar::setValue(int32_t v) {
    if (!inRange(v)) return false;
    if (v == value_) return true;
    value_ = v;
    notify(Change::Value);
    if (onChange) onChange();
    return true;
}

void ScrollBar::setRange(int32_t min, int32_t max) {
    min_ = min;
    max_ = max;
    notify(Change::Range);
    if (!inRange(value_)) {
        const int32_t nearest = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
        setValue(nearest);
    }
}

void ScrollBar::stepBy(int32_t towardsMax) {
    const int64_t step = min_ <= max_ ? towardsMax : -int64_t{towardsMax};
    const int64_t lo = std::min(min_, max_), hi = std::max(min_, max_);
    setValue(static_cast<int32_t>(std::clamp(int64_t{value_} + step, lo, hi)));
}

void ScrollBar::scrollTo(int32_t v) {
    if (!inRange(v) || v == value_) return;
    value_ = v;
    scrolled_ = true;
    notify(Change::Value);
    if (onScroll) onScroll();
}

void ScrollBar::endScroll() {
    if (!scrolled_) return;
    scrolled_ = false;
    if (onChange) onChange();
}

bool CheckBox::setValue(int32_t v) {
    if (v < 0 || v > 2) return false;
    if (v == value_) return true;
    value_ = v;
    notify(Change::Value);
    if (onClick) onClick();
    return true;
}

OptionButton::OptionButton(Container* parent, OptionGroup& group)
    : Control(parent), group_(group), index_(group.size()) {
    group_.buttons_.push_back(this);
}

bool OptionButton::setValue(bool v) {
    if (v == value_) return true;
    value_ = v;
    notify(Change::Value);
    if (v) {
        for (OptionButton* other : group_.buttons_)
            if (other != this) other->clear();
        if (group_.onClick) group_.onClick(index_);
    }
    return true;
}

void OptionButton::clear() {
    if (!value_) return;
    value_ = false;
    notify(Change::Value);
}

bool ProgressBar::setValue(int32_t v) {
    if (v < min_ || v > max_) return false;
    if (v == value_) return true;
    value_ = v;
    notify(Change::Value);
    return true;
}

}  // namespace velorra::toolkit
