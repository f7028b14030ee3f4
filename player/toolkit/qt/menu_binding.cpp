#include "player/toolkit/qt/menu_binding.h"

#include "player/toolkit/qt/qt_strings.h"

#include <algorithm>

namespace velorra::toolkit::qt {

MenuBinding::MenuBinding(MenuItem& top, QMenuBar& bar) : top_(top) {
    if (top.items().empty()) {
        bindAction(bar.addAction(toQString(top.Caption())), top);
    } else {
        bindMenu(bar.addMenu(toQString(top.Caption())), top);
    }
    top_.attachView(this);
}

MenuBinding::~MenuBinding() { top_.attachView(nullptr); }

void MenuBinding::addItems(QMenu& menu, MenuItem& parent) {
    for (MenuItem* item : parent.items()) {
        if (item->separator()) {
            bindAction(menu.addSeparator(), *item);
        } else if (!item->items().empty()) {
            bindMenu(menu.addMenu(toQString(item->Caption())), *item);
        } else {
            QAction* action = menu.addAction(toQString(item->Caption()));
            if (!item->Shortcut().empty()) action->setShortcut(QKeySequence(toQString(item->Shortcut())));
            bindAction(action, *item);
        }
    }
}

void MenuBinding::bindMenu(QMenu* menu, MenuItem& item) {
    menus_.push_back({&item, menu, item.items()});
    bindAction(menu->menuAction(), item);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&item] { item.click(); });
    addItems(*menu, item);
}

void MenuBinding::forget(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        std::erase_if(actions_, [action](const auto& bound) { return bound.second == action; });
        if (QMenu* sub = action->menu()) {
            forget(*sub);
            std::erase_if(menus_, [sub](const BoundMenu& bound) { return bound.menu == sub; });
            sub->deleteLater();
        }
    }
}

void MenuBinding::remake(BoundMenu& bound) {
    QMenu& menu = *bound.menu;
    MenuItem& item = *bound.item;
    bound.madeFrom = item.items();
    forget(menu);
    menu.clear();
    addItems(menu, item);
}

QAction* MenuBinding::bindAction(QAction* action, MenuItem& item) {
    actions_.emplace_back(&item, action);
    mirror(*action, item);
    if (!item.separator() && item.items().empty()) {
        QObject::connect(action, &QAction::triggered, action, [this, action, &item] {
            item.click();
            // Qt ticks a checkable action by itself; show what the item holds.
            mirror(*action, item);
        });
    }
    return action;
}

void MenuBinding::mirror(QAction& action, const MenuItem& item) {
    const QSignalBlocker block(&action);
    action.setEnabled(item.Enabled());
    action.setVisible(item.Visible());
    action.setCheckable(item.Checked());
    action.setChecked(item.Checked());
}

void MenuBinding::menuChanged() {
    // Remaking a menu changes the list of menus: look for the next stale one afresh each time.
    for (;;) {
        const auto stale = std::find_if(menus_.begin(), menus_.end(),
                                         [](const BoundMenu& m) { return m.madeFrom != m.item->items(); });
        if (stale == menus_.end()) break;
        remake(*stale);
    }
    for (const auto& [item, action] : actions_) mirror(*action, *item);
}

QAction* MenuBinding::actionFor(const MenuItem& item) const {
    for (const auto& [i, action] : actions_)
        if (i == &item) return action;
    return nullptr;
}

QMenu* MenuBinding::menuFor(const MenuItem& item) const {
    for (const BoundMenu& m : menus_)
        if (m.item == &item) return m.menu;
    return nullptr;
}

}  // namespace velorra::toolkit::qt
