#pragma once
#include "player/toolkit/control.h"

#include <string>
#include <vector>

namespace velorra::toolkit {

// The status bar keeps itself at the bottom edge of its window, across its whole width.
class StatusBar : public Control {
public:
    enum class Bevel { None, Inset, Raised };
    struct Panel {
        std::string text;
        Bevel bevel = Bevel::Inset;
        bool spring = false;  // takes all width the other panels leave
    };

    explicit StatusBar(Container* parent) : Control(parent), panels_(1) {}

    int panelCount() const { return static_cast<int>(panels_.size()); }
    // Panels are numbered from 1.
    const Panel& panel(int i) const { return panels_.at(static_cast<size_t>(i - 1)); }
    void addPanel() {
        panels_.emplace_back();
        notify(Change::Items);
    }
    void setPanel(int i, Panel p) {
        panels_.at(static_cast<size_t>(i - 1)) = std::move(p);
        notify(Change::Items);
    }
    void setPanelText(int i, std::string text) {
        Panel& p = panels_.at(static_cast<size_t>(i - 1));
        if (p.text == text) return;
        p.text = std::move(text);
        notify(Change::Items);
    }

private:
    std::vector<Panel> panels_;
};

}  // namespace velorra::toolkit
