#pragma once
// The menus of a window: each menu-bar entry becomes a QMenu (or, without sub-items, an
// action of the bar itself); entries, separators, shortcuts and the enabled, visible and
// checked states follow the MenuItems. A menu runs its item's click action as it is about to
// show, and is made again when its item gains or loses sub-items.
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
    // A QMenu and the sub-items it was made from.
    struct BoundMenu {
        MenuItem* item;
        QMenu* menu;
        std::vector<MenuItem*> madeFrom;
    };
    void bindMenu(QMenu* menu, MenuItem& item);
    void addItems(QMenu& menu, MenuItem& parent);
    // Drops the menu's entries, with every sub-menu below them, and makes them again.
    void remake(BoundMenu& bound);
    void forget(QMenu& menu);
    QAction* bindAction(QAction* action, MenuItem& item);
    void mirror(QAction& action, const MenuItem& item);

    MenuItem& top_;
    std::vector<std::pair<MenuItem*, QAction*>> actions_;
    std::vector<BoundMenu> menus_;
};

}  // namespace velorra::toolkit::qt
