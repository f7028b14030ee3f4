#include "player/toolkit/qt/menu_binding.h"

#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

MenuBinding::MenuBinding(MenuItem& top, QMenuBar& bar) : top_(top) {
    if (top.items().empty()) {
        bindAction(bar.addAction(toQString(top.Caption())), top);
    } else {
        QMenu* menu = bar.addMenu(toQString(top.Caption()));
        menus_.emplace_back(&top, menu);
        bindAction(menu->menuAction(), top);
        addItems(*menu, top);
    }
    top_.attachView(this);
}

MenuBinding::~MenuBinding() { top_.attachView(nullptr); }

void MenuBinding::addItems(QMenu& menu, MenuItem& parent) {
    for (MenuItem* item : parent.items()) {
        if (item->separator()) {
            bindAction(menu.addSeparator(), *item);
        } else if (!item->items().empty()) {
            QMenu* sub = menu.addMenu(toQString(item->Caption()));
            menus_.emplace_back(item, sub);
            bindAction(sub->menuAction(), *item);
            addItems(*sub, *item);
        } else {
            QAction* action = menu.addAction(toQString(item->Caption()));
            if (!item->Shortcut().empty()) action->setShortcut(QKeySequence(toQString(item->Shortcut())));
            bindAction(action, *item);
        }
    }
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
    for (const auto& [item, action] : actions_) mirror(*action, *item);
}

QAction* MenuBinding::actionFor(const MenuItem& item) const {
    for (const auto& [i, action] : actions_)
        if (i == &item) return action;
    return nullptr;
}

QMenu* MenuBinding::menuFor(const MenuItem& item) const {
    for (const auto& [i, menu] : menus_)
        if (i == &item) return menu;
    return nullptr;
}

}  // namespace velorra::toolkit::qt
