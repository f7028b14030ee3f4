#include "player/toolkit/control.h"

#include <algorithm>
#include <utility>

namespace velorra::toolkit {

Control::Control(Container* parent) : parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
    if (parent_) std::erase(parent_->children_, this);
}

void Control::setLeft(int32_t v) {
    if (v == left_) return;
    left_ = v;
    notify(Change::Geometry);
    geometryChanged();
}

void Control::setTop(int32_t v) {
    if (v == top_) return;
    top_ = v;
    notify(Change::Geometry);
    geometryChanged();
}

bool Control::setWidth(int32_t v) {
    if (v < 0) return false;
    if (v == width_) return true;
    width_ = v;
    notify(Change::Geometry);
    geometryChanged();
    return true;
}

bool Control::setHeight(int32_t v) {
    if (v < 0) return false;
    if (v == height_) return true;
    height_ = v;
    notify(Change::Geometry);
    geometryChanged();
    return true;
}

bool Control::move(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return false;
    if (left == left_ && top == top_ && width == width_ && height == height_) return true;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Change::Geometry);
    geometryChanged();
    return true;
}

void Control::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    notify(Change::Visible);
}

void Control::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    notify(Change::Enabled);
}

void Control::setFont(Font f) {
    if (f == font_) return;
    font_ = f;
    notify(Change::Appearance);
}

void Control::setFontBold(bool bold) {
    Font f = font_;
    f.bold = bold;
    setFont(f);
}

void Control::setForeColor(std::optional<Color> c) {
    if (c == foreColor_) return;
    foreColor_ = c;
    notify(Change::Appearance);
}

void Control::setBackColor(std::optional<Color> c) {
    if (c == backColor_) return;
    backColor_ = c;
    notify(Change::Appearance);
}

void Control::setToolTipText(std::string t) {
    if (t == toolTip_) return;
    toolTip_ = std::move(t);
    notify(Change::Appearance);
}

void Control::setCursor(Cursor c) {
    if (c == cursor_) return;
    cursor_ = c;
    notify(Change::Appearance);
}

}  // namespace velorra::toolkit
