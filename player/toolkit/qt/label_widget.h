#pragma once
#include "player/toolkit/label.h"
#include "player/toolkit/qt/twips_scale.h"

#include <QLabel>
#include <QStaticText>

namespace velorra::toolkit::qt {

// A word-wrapped label painted in its colours, or the system's window colours without them,
// with the mouse pointer of its control. It keeps its text laid out until the text, its width or
// its look changes: Qt's label lays the text out afresh at every paint, and the window's level
// and time labels are painted several times a second while songs play. Its size is fixed where
// its control places it: no layout ever sizes it, and Qt's label would otherwise ask its parent
// to lay out again at every change of text.
class LabelWidget : public QLabel, public ControlView {
public:
    LabelWidget(Label& control, QWidget* parent, const TwipsScale& scale);
    ~LabelWidget() override;
    void controlChanged(Change what) override;

protected:
    // A press and release of the left button on a label with a click action runs it.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    Label& control_;
    const TwipsScale& scale_;
    // The caption as it is laid out, its line breaks made Qt's, and how.
    QString lines_;
    QTextOption option_;
    QString fontKey_;
    QStaticText laidOut_;
    // The width laidOut_ was laid out for; -1 when the caption or its look has changed since.
    int laidWidth_ = -1;
};

}  // namespace velorra::toolkit::qt
