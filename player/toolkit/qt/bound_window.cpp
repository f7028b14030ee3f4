#include "player/toolkit/qt/bound_window.h"

#include "player/toolkit/button.h"
#include "player/toolkit/image.h"
#include "player/toolkit/label.h"
#include "player/toolkit/list_box.h"
#include "player/toolkit/list_view.h"
#include "player/toolkit/panel.h"
#include "player/toolkit/qt/button_widget.h"
#include "player/toolkit/qt/check_box_widget.h"
#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/dir_list_widget.h"
#include "player/toolkit/qt/drive_list_widget.h"
#include "player/toolkit/qt/file_list_widget.h"
#include "player/toolkit/qt/image_widget.h"
#include "player/toolkit/qt/label_widget.h"
#include "player/toolkit/qt/list_box_widget.h"
#include "player/toolkit/qt/list_view_widget.h"
#include "player/toolkit/qt/option_button_widget.h"
#include "player/toolkit/qt/panel_widget.h"
#include "player/toolkit/qt/progress_bar_widget.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"
#include "player/toolkit/qt/scroll_bar_widget.h"
#include "player/toolkit/qt/status_bar_widget.h"
#include "player/toolkit/qt/text_box_widget.h"
#include "player/toolkit/status_bar.h"
#include "player/toolkit/text_box.h"
#include "player/toolkit/value_control.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

namespace velorra::toolkit::qt {

void updateScreen() {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return;
    const TwipsScale scale;
    const QRect place = s->geometry();
    screen() = Screen{scale.toTwips(place.width()), scale.toTwips(place.height()), scale.toTwips(place.x()),
                      scale.toTwips(place.y())};
}

BoundWindow::BoundWindow(Window& window, QWidget* owner)
    : window_(window), owner_(owner), scale_(this), client_(new QWidget(this)) {
    updateScreen();
    setCentralWidget(client_);
    for (MenuItem* top : window_.menuBar()) menus_.push_back(std::make_unique<MenuBinding>(*top, *menuBar()));
    bindChildren(window_, *client_);
    for (Change c : AllChanges) controlChanged(c);
    reportFrame();
    window_.attachView(this);
}

BoundWindow::~BoundWindow() {
    window_.attachView(nullptr);
    if (modalLoop_) modalLoop_->quit();
}

QWidget* BoundWindow::widgetFor(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

void BoundWindow::bindChildren(Container& container, QWidget& parent) {
    // In creation order: a later widget lies above an earlier one.
    for (Control* child : container.children()) {
        QWidget* w = createWidget(*child, parent);
        if (!w) continue;
        widgets_[child] = w;
        if (auto* panel = dynamic_cast<Panel*>(child)) bindChildren(*panel, *w);
    }
}

QWidget* BoundWindow::createWidget(Control& c, QWidget& parent) {
    if (auto* x = dynamic_cast<Panel*>(&c)) return new PanelWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<Button*>(&c)) return new ButtonWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<Label*>(&c)) return new LabelWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<CheckBox*>(&c)) return new CheckBoxWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<OptionButton*>(&c)) return new OptionButtonWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<ScrollBar*>(&c)) return new ScrollBarWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<ProgressBar*>(&c)) return new ProgressBarWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<TextBox*>(&c)) return new TextBoxWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<StatusBar*>(&c)) return new StatusBarWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<ListView*>(&c)) return new ListViewWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<ListBox*>(&c)) return new ListBoxWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<Image*>(&c)) return new ImageWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<DriveListBox*>(&c)) return new DriveListWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<DirListBox*>(&c)) return new DirListWidget(*x, &parent, scale_);
    if (auto* x = dynamic_cast<FileListBox*>(&c)) return new FileListWidget(*x, &parent, scale_);
    return nullptr;
}

void BoundWindow::controlChanged(Change what) {
    switch (what) {
        case Change::Geometry:
            if (!followingUser_) applyGeometry();
            break;
        case Change::Text: setWindowTitle(toQString(window_.Caption())); break;
        case Change::Enabled: setEnabled(window_.Enabled()); break;
        case Change::Appearance:
            mirrorAppearance(*client_, window_, ColorRoles{QPalette::WindowText, QPalette::Window, true, std::nullopt});
            break;
        default: break;  // showing and hiding come through showWindow and hideWindow
    }
}

int BoundWindow::menuBarHeight() const {
    const QWidget* bar = menuWidget();
    if (!bar || menus_.empty()) return 0;
    return bar->isVisible() ? bar->height() : bar->sizeHint().height();
}

QMargins BoundWindow::measureFrame() const {
    if (!isVisible()) return frame_;
    const QRect outer = frameGeometry(), inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void BoundWindow::reportFrame() {
    window_.setFrame(scale_.toTwips(frame_.left()), scale_.toTwips(frame_.top() + menuBarHeight()),
                     scale_.toTwips(frame_.right()), scale_.toTwips(frame_.bottom()));
}

void BoundWindow::applyGeometry() {
    const QRect outer = scale_.toPx(window_.Left(), window_.Top(), window_.Width(), window_.Height());
    move(outer.topLeft());  // a window's position is that of its frame
    resize(std::max(0, outer.width() - frame_.left() - frame_.right()),
           std::max(0, outer.height() - frame_.top() - frame_.bottom()));
}

void BoundWindow::followUser(bool position, bool size) {
    if (!isVisible()) return;
    const QMargins frame = measureFrame();
    if (frame != frame_) {
        // The window manager framed the window: the outer size stays what the program set,
        // the inner size shrinks, and the resize action lays the controls out for it.
        frame_ = frame;
        reportFrame();
        applyGeometry();
        if (window_.loaded() && window_.onResize) window_.onResize();
        return;
    }
    reportFrame();
    // A move and a resize arrive as events of their own, and each one is taken on its own: a
    // move that comes before the resize the program asked for is not a size the user chose.
    // Only what differs in pixels is taken over, so that a size the program set stays exact.
    const QRect outer = frameGeometry();
    const QRect held = scale_.toPx(window_.Left(), window_.Top(), window_.Width(), window_.Height());
    auto twips = [this](bool follow, int px, int heldPx, int32_t heldTwips) {
        return follow && px != heldPx ? scale_.toTwips(px) : heldTwips;
    };
    const QRect taken(twips(position, outer.x(), held.x(), window_.Left()), twips(position, outer.y(), held.y(), window_.Top()),
                      twips(size, outer.width(), held.width(), window_.Width()),
                      twips(size, outer.height(), held.height(), window_.Height()));
    followingUser_ = true;
    window_.move(taken.x(), taken.y(), taken.width(), taken.height());
    followingUser_ = false;
    // The resize action may itself have moved or sized the window.
    if (QRect(window_.Left(), window_.Top(), window_.Width(), window_.Height()) != taken) applyGeometry();
}

void BoundWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    followUser(true, false);
}

void BoundWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    followUser(false, true);
}

void BoundWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    followUser(true, true);  // the frame is known from here on
}

void BoundWindow::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e); key && window_.keyPress(key->keyCode)) return;
    QMainWindow::keyPressEvent(e);
}

void BoundWindow::closeEvent(QCloseEvent* e) {
    window_.unload();
    e->accept();
}

void BoundWindow::showWindow(bool modal) {
    if (!isVisible()) {
        if (owner_) {
            winId();
            windowHandle()->setTransientParent(owner_->window()->windowHandle());
        }
        setWindowModality(!modal ? Qt::NonModal : owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    }
    show();
    if (modal && !modalLoop_) {
        QEventLoop loop;
        modalLoop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        modalLoop_ = nullptr;
    }
}

void BoundWindow::hideWindow() {
    hide();
    if (modalLoop_) modalLoop_->quit();
}

void BoundWindow::popupMenu(MenuItem& menu) {
    for (const auto& binding : menus_)
        if (QMenu* m = binding->menuFor(menu)) {
            m->exec(QCursor::pos());
            return;
        }
}

void BoundWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

}  // namespace velorra::toolkit::qt
