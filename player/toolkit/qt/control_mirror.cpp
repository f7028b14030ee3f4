#include "player/toolkit/qt/control_mirror.h"

#include "player/toolkit/qt/qt_strings.h"

#include <QApplication>

namespace velorra::toolkit::qt {

QColor toQColor(Color c) { return QColor(c.r, c.g, c.b); }

QFont toQFont(const Font& f) {
    // Sans-serifs with the narrow metrics the layouts were drawn for, the first one found.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(f.sizePt);
    font.setBold(f.bold);
    font.setUnderline(f.underline);
    return font;
}

void mirrorGeometry(QWidget& w, const Control& c, const TwipsScale& scale) {
    w.setGeometry(scale.toPx(c.Left(), c.Top(), c.Width(), c.Height()));
}

void mirrorAppearance(QWidget& w, const Control& c, const ColorRoles& roles) {
    w.setFont(toQFont(c.font()));
    // Start from the system's palette so that a colour the control drops goes back to it,
    // and set the roles explicitly so that a coloured parent does not leak into them.
    const QPalette system = QApplication::palette(&w);
    QPalette p = system;
    if (c.ForeColor())
        p.setColor(roles.fore, toQColor(*c.ForeColor()));
    else if (c.BackColor() && roles.foreOnBack)
        p.setColor(roles.fore, *roles.foreOnBack);
    else
        p.setColor(roles.fore, system.color(roles.fore));
    p.setColor(roles.back, c.BackColor() ? toQColor(*c.BackColor()) : system.color(roles.back));
    w.setPalette(p);
    // A window-role background is painted when the control has a colour of its own.
    w.setAutoFillBackground(roles.fill || (c.BackColor() && roles.back == QPalette::Window));
    w.setToolTip(toQString(c.ToolTipText()));
}

void mirrorCommon(QWidget& w, const Control& c, Change what, const TwipsScale& scale, const ColorRoles& roles) {
    switch (what) {
        case Change::Geometry: mirrorGeometry(w, c, scale); break;
        case Change::Visible: w.setVisible(c.Visible()); break;
        case Change::Enabled: w.setEnabled(c.Enabled()); break;
        case Change::Appearance: mirrorAppearance(w, c, roles); break;
        default: break;
    }
}

}  // namespace velorra::toolkit::qt
