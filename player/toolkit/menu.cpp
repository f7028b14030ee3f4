#include "player/toolkit/menu.h"

#include <algorithm>

namespace velorra::toolkit {

MenuItem::MenuItem(MenuItem* parent, std::string caption, std::string shortcut)
    : parent_(parent), caption_(std::move(caption)), shortcut_(std::move(shortcut)) {
    if (!parent_) return;
    parent_->items_.push_back(this);
    parent_->changed();
}

MenuItem::~MenuItem() {
    if (!parent_) return;
    std::erase(parent_->items_, this);
    parent_->changed();
}

void MenuItem::changed() {
    for (MenuItem* m = this; m; m = m->parent_)
        if (m->view_) {
            m->view_->menuChanged();
            return;
        }
}

void MenuItem::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    changed();
}

void MenuItem::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    changed();
}

void MenuItem::setChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    changed();
}

}  // namespace velorra::toolkit
