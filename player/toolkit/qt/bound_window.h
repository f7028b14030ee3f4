#pragma once
// A real window for a toolkit::Window: the menu bar from its menus and, below it, a client
// area holding a widget for each control, at the control's place in twips. Build it after
// the window's controls exist, and destroy it before them.
#include "player/toolkit/qt/menu_binding.h"
#include "player/toolkit/qt/twips_scale.h"
#include "player/toolkit/window.h"

#include <QEventLoop>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <unordered_map>
#include <vector>

namespace velorra::toolkit::qt {

class BoundWindow : public QMainWindow, public WindowView {
public:
    // `owner` is the window a modal showing blocks; it must outlive this one.
    explicit BoundWindow(Window& window, QWidget* owner = nullptr);
    ~BoundWindow() override;

    void setIcon(const QIcon& icon) { setWindowIcon(icon); }
    // The widget standing for a control of this window, or null.
    QWidget* widgetFor(const Control& control) const;
    QWidget& clientArea() const { return *client_; }
    const TwipsScale& scale() const { return scale_; }

    void controlChanged(Change what) override;
    void showWindow(bool modal) override;
    void hideWindow() override;
    void popupMenu(MenuItem& menu) override;
    void bringToFront() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Keys the focused widget left alone: Enter and Esc reach the window's default and cancel
    // buttons.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void bindChildren(Container& container, QWidget& parent);
    QWidget* createWidget(Control& control, QWidget& parent);
    int menuBarHeight() const;
    // The window manager's frame: title bar and borders, in pixels.
    QMargins measureFrame() const;
    void reportFrame();
    void applyGeometry();
    // The user moved (position) or resized (size) the window: the control takes it over.
    void followUser(bool position, bool size);

    Window& window_;
    QPointer<QWidget> owner_;
    TwipsScale scale_;
    QWidget* client_;
    std::vector<std::unique_ptr<MenuBinding>> menus_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    QMargins frame_;
    QEventLoop* modalLoop_ = nullptr;
    bool followingUser_ = false;  // the control is being told of a move or resize the user made
};

// The primary screen's size, in twips, into toolkit::screen().
void updateScreen();

}  // namespace velorra::toolkit::qt
