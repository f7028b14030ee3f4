#pragma once
// Dialogs and the desktop shell, as small interfaces: the program shows real Qt dialogs,
// tests answer them from a script.
#include <optional>
#include <string>

namespace velorra::toolkit {

struct FileDialogRequest {
    std::string title;
    // Pairs of label and pattern separated by "|": "Media Files|*.mp3;*.wav|All Files|*.*".
    std::string filter;
    int filterIndex = 1;
    std::string initialDir;
    std::string fileName;
    bool fileMustExist = false;
    bool overwritePrompt = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or nothing when the user cancels.
    virtual std::optional<std::string> showOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> showSave(const FileDialogRequest& request) = 0;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A message with an OK button; returns when it is closed.
    virtual void show(const std::string& text, const std::string& title) = 0;
};

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // The desktop's default action on a web or mail link; the outcome is not reported.
    virtual void open(const std::string& link) = 0;
};

}  // namespace velorra::toolkit
