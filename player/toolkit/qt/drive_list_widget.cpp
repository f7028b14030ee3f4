#include "player/toolkit/qt/drive_list_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"

namespace velorra::toolkit::qt {

DriveListWidget::DriveListWidget(DriveListBox& control, QWidget* parent, const TwipsScale& scale)
    : QComboBox(parent), control_(control), scale_(scale) {
    for (Change c : AllChanges) controlChanged(c);
    rowsReset();
    control_.attachView(this);
    control_.setObserver(this);
    // The control may refuse or undo the pick (a drive without a disk): show what it holds.
    connect(this, &QComboBox::activated, this, [this](int i) {
        control_.setListIndex(i);
        selectionChanged();
    });
}

DriveListWidget::~DriveListWidget() {
    control_.setObserver(nullptr);
    control_.attachView(nullptr);
}

void DriveListWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
}

void DriveListWidget::rowsReset() {
    const QSignalBlocker block(this);
    clear();
    for (int32_t i = 0; i < control_.ListCount(); ++i) {
        const Volume& v = control_.volume(i);
        addItem(v.label == v.root ? toQString(v.root) : toQString(v.label + "  (" + v.root + ")"));
    }
    setCurrentIndex(control_.ListIndex());
}

void DriveListWidget::selectionChanged() {
    const QSignalBlocker block(this);
    setCurrentIndex(control_.ListIndex());
}

void DriveListWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QComboBox::keyPressEvent(e);
}

}  // namespace velorra::toolkit::qt
