#include "player/toolkit/window.h"

#include "player/toolkit/button.h"
#include "player/toolkit/input.h"

namespace velorra::toolkit {

Screen& screen() {
    static Screen s;
    return s;
}

void Window::setCaption(std::string c) {
    if (c == caption_) return;
    caption_ = std::move(c);
    notify(Change::Text);
}

void Window::setFrame(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    frameLeft_ = left;
    frameTop_ = top;
    frameRight_ = right;
    frameBottom_ = bottom;
}

void Window::load() {
    if (loaded_) return;
    loaded_ = true;
    if (onLoad) onLoad();
}

void Window::show(bool modal) {
    load();
    if (!shown_) {
        shown_ = true;
        setVisible(true);
        if (!firstShowDone_) {
            firstShowDone_ = true;
            if (onResize) onResize();
        }
    }
    if (auto* v = windowView()) v->showWindow(modal);
}

void Window::hide() {
    if (!shown_) return;
    shown_ = false;
    setVisible(false);
    if (auto* v = windowView()) v->hideWindow();
}

void Window::unload() {
    if (!loaded_) return;
    if (onUnload) onUnload();
    hide();
    loaded_ = false;
    firstShowDone_ = false;
}

void Window::popupMenu(MenuItem& menu) {
    if (auto* v = windowView()) v->popupMenu(menu);
}

void Window::bringToFront() {
    if (auto* v = windowView()) v->bringToFront();
}

namespace {

Button* findButton(const Container& container, bool (Button::*role)() const) {
    for (Control* c : container.children()) {
        if (auto* b = dynamic_cast<Button*>(c); b && (b->*role)() && b->Visible() && b->Enabled()) return b;
        if (auto* inner = dynamic_cast<Container*>(c))
            if (Button* b = findButton(*inner, role)) return b;
    }
    return nullptr;
}

}  // namespace

bool Window::keyPress(int keyCode) {
    if (keyCode != keys::Return && keyCode != keys::Escape) return false;
    Button* b = findButton(*this, keyCode == keys::Return ? &Button::Default : &Button::Cancel);
    if (!b) return false;
    b->click();
    return true;
}

void Window::geometryChanged() {
    if (Width() == lastWidth_ && Height() == lastHeight_) return;
    lastWidth_ = Width();
    lastHeight_ = Height();
    if (loaded_ && onResize) onResize();
}

}  // namespace velorra::toolkit
