#include "player/toolkit/qt/qt_dialogs.h"

#include "player/toolkit/qt/qt_strings.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace velorra::toolkit::qt {

QStringList nameFilters(const std::string& filter) {
    const QStringList parts = toQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed());
        filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

std::optional<std::string> QtFileDialogs::showOpen(const FileDialogRequest& request) { return run(request, false); }

std::optional<std::string> QtFileDialogs::showSave(const FileDialogRequest& request) { return run(request, true); }

std::optional<std::string> QtFileDialogs::run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent_, toQString(request.title), QFile::decodeName(request.initialDir.c_str()));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    // The list shows each label as the program wrote it; the patterns Qt appends stay unshown,
    // or a label that names its patterns itself would show them twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype pick = request.filterIndex - 1;
        dialog.selectNameFilter(filters[pick >= 0 && pick < filters.size() ? pick : 0]);
    }
    if (!request.fileName.empty()) dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QByteArray path = QFile::encodeName(dialog.selectedFiles().front());
    return std::string(path.constData(), static_cast<size_t>(path.size()));
}

void QtMessageBoxes::show(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text), QMessageBox::Ok, parent_);
    box.exec();
}

QUrl linkUrl(const std::string& link) {
    const QString text = toQString(link).trimmed();
    const bool mailAddress = text.contains(QLatin1Char('@')) && !text.contains(QLatin1Char(':'));
    return mailAddress ? QUrl(QStringLiteral("mailto:") + text) : QUrl::fromUserInput(text);
}

void QtLinkOpener::open(const std::string& link) { QDesktopServices::openUrl(linkUrl(link)); }

}  // namespace velorra::toolkit::qt
