#include "player/toolkit/qt/dir_list_widget.h"

#include "player/toolkit/qt/control_mirror.h"
#include "player/toolkit/qt/qt_input.h"
#include "player/toolkit/qt/qt_strings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

namespace velorra::toolkit::qt {

namespace {

std::string lastPart(const std::string& path) { return path == "/" ? path : path.substr(path.rfind('/') + 1); }

}  // namespace

DirListWidget::DirListWidget(DirListBox& control, QWidget* parent, const TwipsScale& scale)
    : QListWidget(parent), control_(control), scale_(scale) {
    setUniformItemSizes(true);
    for (Change c : AllChanges) controlChanged(c);
    control_.attachView(this);
    control_.setObserver(this);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) control_.setListIndex(row - control_.ancestorCount());
    });
}

DirListWidget::~DirListWidget() {
    control_.setObserver(nullptr);
    control_.attachView(nullptr);
}

void DirListWidget::controlChanged(Change what) {
    static const ColorRoles roles{QPalette::Text, QPalette::Base, false, std::nullopt};
    mirrorCommon(*this, control_, what, scale_, roles);
}

void DirListWidget::rowsReset() {
    stale_ = true;
    if (isVisible()) rebuild();
}

void DirListWidget::rebuild() {
    stale_ = false;
    const QSignalBlocker block(this);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const int32_t ancestors = control_.ancestorCount();
    for (int32_t i = -ancestors; i < control_.ListCount(); ++i) {
        const int depth = i < 0 ? ancestors + i : ancestors;
        auto* item = new QListWidgetItem(i < 0 ? open : closed, toQString(std::string(2 * static_cast<size_t>(depth), ' ') +
                                                                           lastPart(control_.List(i))));
        addItem(item);  // the list owns it
    }
    setCurrentRow(control_.ListIndex() + ancestors);
}

void DirListWidget::selectionChanged() {
    if (stale_) return;
    const QSignalBlocker block(this);
    setCurrentRow(control_.ListIndex() + control_.ancestorCount());
}

void DirListWidget::showEvent(QShowEvent* e) {
    QListWidget::showEvent(e);
    if (stale_) rebuild();
}

void DirListWidget::focusOutEvent(QFocusEvent* e) {
    QListWidget::focusOutEvent(e);
    control_.lostFocus();
}

void DirListWidget::keyPressEvent(QKeyEvent* e) {
    if (const auto key = toKeyEvent(*e)) control_.keyDown(*key);
    QListWidget::keyPressEvent(e);
}

void DirListWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    QListWidget::mouseDoubleClickEvent(e);
    control_.dblClick();
}

}  // namespace velorra::toolkit::qt
