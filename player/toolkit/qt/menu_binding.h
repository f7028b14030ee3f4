#pragma once
// The menus of a window: each menu-bar entry becomes a QMenu (or, without sub-items, an
// action of the bar itself); entries, separators, shortcuts and the enabled, visible and
// checked states follow the MenuItems.
#include "player/toolkit/menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace velorra::toolkit::qt {

class MenuBinding : public MenuView {
public:
    // Adds `top` and everything below it to the bar.
    MenuBinding(MenuItem& top, QMenuBar& bar);
    ~MenuBinding() override;
    MenuBinding(const MenuBinding&) = delete;
    MenuBinding& operator=(const MenuBinding&) = delete;

    void menuChanged() override;

    MenuItem& top() const { return top_; }
    // The menu that shows the items below `item` (the entry or one of its sub-menus), or null.
    QMenu* menuFor(const MenuItem& item) const;
    // The action that stands for an item of this menu, or null.
    QAction* actionFor(const MenuItem& item) const;

private:
    void addItems(QMenu& menu, MenuItem& parent);
    QAction* bindAction(QAction* action, MenuItem& item);
    void mirror(QAction& action, const MenuItem& item);

    MenuItem& top_;
    std::vector<std::pair<MenuItem*, QAction*>> actions_;
    std::vector<std::pair<const MenuItem*, QMenu*>> menus_;
};

}  // namespace velorra::toolkit::qt
