#pragma once
#include "player/toolkit/control.h"
#include "player/toolkit/menu.h"

#include <functional>
#include <string>
#include <vector>

namespace velorra::toolkit {

class WindowView : public ControlView {
public:
    virtual void showWindow(bool modal) = 0;
    virtual void hideWindow() = 0;
    virtual void popupMenu(MenuItem& menu) = 0;
    virtual void bringToFront() = 0;
};

// The screen the windows are shown on, in twips; the binding keeps it up to date.
struct Screen {
    int32_t width = 28800;   // 1920 px at 96 dpi
    int32_t height = 16200;  // 1080 px
    int32_t left = 0, top = 0;  // where it starts on the desktop
};
Screen& screen();

// A top-level window. Left, Top, Width and Height are its outer edges, frame included; the
// inner width (ScaleWidth) leaves out the frame. A window is loaded before it is first shown
// (its load action runs once), runs its resize action on every size change and when it is
// first shown, and runs its unload action when it closes.
class Window : public Container {
public:
    Window() : Container(nullptr) {}

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string c);

    int32_t ScaleWidth() const { return Width() - frameLeft_ - frameRight_; }
    int32_t ScaleHeight() const { return Height() - frameTop_ - frameBottom_; }
    // The frame's thickness on each side; the binding reports the real one.
    void setFrame(int32_t left, int32_t top, int32_t right, int32_t bottom);

    bool loaded() const { return loaded_; }
    bool shown() const { return shown_; }
    // Loads the window, hidden, when it is not loaded yet.
    void load();
    void show(bool modal = false);
    void hide();
    // Closes the window: runs the unload action, hides it; it can be loaded again.
    void unload();
    void popupMenu(MenuItem& menu);
    void bringToFront();
    // A key that the focused control left alone: Enter clicks the window's visible, enabled
    // default button, Esc its cancel button. False when no button took the key.
    bool keyPress(int keyCode);

    // Menu-bar entries, in order.
    std::vector<MenuItem*>& menuBar() { return menuBar_; }

    std::function<void()> onLoad;
    std::function<void()> onResize;
    std::function<void()> onUnload;

protected:
    void geometryChanged() override;

private:
    WindowView* windowView() const { return dynamic_cast<WindowView*>(view()); }

    std::string caption_;
    int32_t frameLeft_ = 60, frameTop_ = 0, frameRight_ = 60, frameBottom_ = 0;
    int32_t lastWidth_ = 0, lastHeight_ = 0;
    bool loaded_ = false, shown_ = false, firstShowDone_ = false;
    std::vector<MenuItem*> menuBar_;
};

}  // namespace velorra::toolkit
