#pragma once
// Scroll bars, check boxes, option buttons and progress bars hold a whole number within their
// range. A value outside the range is refused and the value kept; setting the value already
// held runs nothing; every change runs the change action at once, inside the setting call.
#include "player/toolkit/control.h"

#include <functional>
#include <string>
#include <vector>

namespace velorra::toolkit {

enum class Orientation { Horizontal, Vertical };

class ScrollBar : public Control {
public:
    ScrollBar(Container* parent, Orientation o) : Control(parent), orientation_(o) {}

    Orientation orientation() const { return orientation_; }
    // Min may lie above Max: the bar then runs the other way.
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t Value() const { return value_; }
    int32_t SmallChange() const { return smallChange_; }
    int32_t LargeChange() const { return largeChange_; }

    bool setValue(int32_t v);
    // A value left outside the new range is moved to its nearest end, with the change action.
    void setRange(int32_t min, int32_t max);
    void setSmallChange(int32_t v) { smallChange_ = v; }
    void setLargeChange(int32_t v) { largeChange_ = v; }

    // An arrow of the bar: the value moves SmallChange towards Min or Max, stopping at the end.
    void stepTowardsMin() { stepBy(-smallChange_); }
    void stepTowardsMax() { stepBy(smallChange_); }
    // The thumb being dragged: the value follows it and the scroll action runs; letting the
    // thumb go runs the change action once when the value moved.
    void scrollTo(int32_t v);
    void endScroll();

    // Drawn as a small pair of up/down arrows instead of a bar.
    bool spinner() const { return spinner_; }
    void setSpinner(bool s) {
        spinner_ = s;
        notify(Change::Appearance);
    }

    std::function<void()> onChange;
    std::function<void()> onScroll;

private:
    bool inRange(int32_t v) const;
    void stepBy(int32_t towardsMax);

    Orientation orientation_;
    int32_t min_ = 0, max_ = 32767, value_ = 0;
    int32_t smallChange_ = 1, largeChange_ = 1;
    bool spinner_ = false;
    bool scrolled_ = false;
};

// 0 unchecked, 1 checked, 2 greyed.
class CheckBox : public Control {
public:
    using Control::Control;
    int32_t Value() const { return value_; }
    bool setValue(int32_t v);
    // The user's click: unchecked becomes checked, anything else unchecked.
    void click() { setValue(value_ == 1 ? 0 : 1); }
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string c) {
        caption_ = std::move(c);
        notify(Change::Text);
    }
    std::function<void()> onClick;

private:
    int32_t value_ = 0;
    std::string caption_;
};

// A picture of strokes drawn on a button, in pixels from its top left corner.
struct Stroke {
    Color color;
    std::vector<std::pair<int, int>> points;
};
struct Picture {
    int width = 0, height = 0;
    std::vector<Stroke> strokes;
};

class OptionGroup;

// An option button; among the buttons of one group at most one is set. Setting one clears
// the others (without their click action) and runs its own click action with its index.
class OptionButton : public Control {
public:
    OptionButton(Container* parent, OptionGroup& group);
    bool Value() const { return value_; }
    bool setValue(bool v);
    void click() { setValue(true); }
    int index() const { return index_; }
    const Picture& picture() const { return picture_; }
    void setPicture(Picture p) {
        picture_ = std::move(p);
        notify(Change::Appearance);
    }

private:
    friend class OptionGroup;
    void clear();

    OptionGroup& group_;
    int index_;
    bool value_ = false;
    Picture picture_;
};

class OptionGroup {
public:
    OptionGroup() = default;
    OptionGroup(const OptionGroup&) = delete;
    OptionGroup& operator=(const OptionGroup&) = delete;
    OptionButton& operator[](int i) { return *buttons_.at(static_cast<size_t>(i)); }
    int size() const { return static_cast<int>(buttons_.size()); }
    // Runs with the index of the button that became set.
    std::function<void(int)> onClick;

private:
    friend class OptionButton;
    std::vector<OptionButton*> buttons_;
};

// A level bar from Min to Max (0 to 100 unless set otherwise).
class ProgressBar : public Control {
public:
    using Control::Control;
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t Value() const { return value_; }
    bool setValue(int32_t v);

private:
    int32_t min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace velorra::toolkit
