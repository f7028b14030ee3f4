#pragma once
// The real dialogs and the desktop's links.
#include "player/toolkit/dialogs.h"

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace velorra::toolkit::qt {

// "Label|*.mp3;*.wav|All Files|*.*" as Qt's filters: "Label (*.mp3 *.wav)", "All Files (*)".
QStringList nameFilters(const std::string& filter);

class QtFileDialogs : public FileDialogs {
public:
    // The dialogs open over `parent` (which may be null).
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> showOpen(const FileDialogRequest& request) override;
    std::optional<std::string> showSave(const FileDialogRequest& request) override;

private:
    std::optional<std::string> run(const FileDialogRequest& request, bool save);
    QPointer<QWidget> parent_;
};

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void show(const std::string& text, const std::string& title) override;

private:
    QPointer<QWidget> parent_;
};

// A mail address without a scheme becomes a mailto: link; other text is taken as a URL.
QUrl linkUrl(const std::string& link);

class QtLinkOpener : public LinkOpener {
public:
    void open(const std::string& link) override;
};

}  // namespace velorra::toolkit::qt
