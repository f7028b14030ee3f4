#pragma once
// The headless controls. Window logic talks only to these; the Qt binding mirrors them into
// real widgets. Positions and sizes are in twips (1440 to the inch); the binding converts.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velorra::toolkit {

struct Color {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

namespace colors {
inline constexpr Color Black{0, 0, 0};
inline constexpr Color White{255, 255, 255};
inline constexpr Color Yellow{255, 255, 0};
inline constexpr Color Red{255, 0, 0};
inline constexpr Color Green{0, 255, 0};
inline constexpr Color Cyan{0, 255, 255};
inline constexpr Color LightGrey{224, 224, 224};
inline constexpr Color Orange{255, 128, 0};
inline constexpr Color Blue{0, 0, 255};
inline constexpr Color Navy{0, 0, 128};
inline constexpr Color LightCyan{192, 255, 255};
inline constexpr Color Purple{192, 0, 192};
inline constexpr Color DarkPurple{128, 0, 128};
inline constexpr Color Pink{255, 192, 255};
}  // namespace colors

struct Font {
    double sizePt = 8.25;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// The mouse pointer shown over a control.
enum class Cursor { Default, PointingHand };

// What changed on a control, for the view that mirrors it.
enum class Change { Geometry, Visible, Enabled, Text, Value, Range, Appearance, Items, Focus, Selection };

class Control;

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void controlChanged(Change what) = 0;
};

class Container;

class Control {
public:
    // A control belongs to its container for life; the container lists it in creation order.
    explicit Control(Container* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Container* parent() const { return parent_; }

    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    void setLeft(int32_t v);
    void setTop(int32_t v);
    // A negative width or height is refused and the size kept.
    bool setWidth(int32_t v);
    bool setHeight(int32_t v);
    bool move(int32_t left, int32_t top, int32_t width, int32_t height);

    bool Visible() const { return visible_; }
    void setVisible(bool v);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);

    const Font& font() const { return font_; }
    void setFont(Font f);
    void setFontBold(bool bold);
    // Without a colour of its own a control uses the system's window text and background.
    const std::optional<Color>& ForeColor() const { return foreColor_; }
    const std::optional<Color>& BackColor() const { return backColor_; }
    void setForeColor(std::optional<Color> c);
    void setBackColor(std::optional<Color> c);
    const std::string& ToolTipText() const { return toolTip_; }
    void setToolTipText(std::string t);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor c);

    void attachView(ControlView* view) { view_ = view; }
    ControlView* view() const { return view_; }

protected:
    // Runs after the position or size changed.
    virtual void geometryChanged() {}
    void notify(Change what) {
        if (view_) view_->controlChanged(what);
    }

private:
    Container* parent_;
    ControlView* view_ = nullptr;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    Font font_;
    std::optional<Color> foreColor_, backColor_;
    std::string toolTip_;
    Cursor cursor_ = Cursor::Default;
};

// A control that holds others: a window or a panel. A panel clips its children.
class Container : public Control {
public:
    using Control::Control;
    const std::vector<Control*>& children() const { return children_; }

private:
    friend class Control;
    std::vector<Control*> children_;
};

}  // namespace velorra::toolkit
