#pragma once
#include <functional>
#include <string>
#include <vector>

namespace velorra::toolkit {

class MenuView {
public:
    virtual ~MenuView() = default;
    virtual void menuChanged() = 0;
};

// A menu item: a menu-bar entry, an entry of a menu, or a separator (caption "-").
// "&" in the caption marks the mnemonic; the shortcut is written as "Ctrl+O" or "Del".
// An item with sub-items runs its click action just before its menu opens, so the action may
// make or drop sub-items; items may come and go while the program runs.
class MenuItem {
public:
    // A menu-bar entry has no parent; others are listed by their parent in creation order.
    MenuItem(MenuItem* parent, std::string caption, std::string shortcut = {});
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    MenuItem* parent() const { return parent_; }
    const std::vector<MenuItem*>& items() const { return items_; }
    const std::string& Caption() const { return caption_; }
    const std::string& Shortcut() const { return shortcut_; }
    bool separator() const { return caption_ == "-"; }
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool Visible() const { return visible_; }
    void setVisible(bool on);
    bool Checked() const { return checked_; }
    void setChecked(bool on);

    void click() {
        if (onClick) onClick();
    }
    std::function<void()> onClick;
    void attachView(MenuView* v) { view_ = v; }

private:
    void changed();

    MenuItem* parent_;
    std::vector<MenuItem*> items_;
    std::string caption_, shortcut_;
    bool enabled_ = true, visible_ = true, checked_ = false;
    MenuView* view_ = nullptr;
};

}  // namespace velorra::toolkit
