#pragma once
// Dialogs, message boxes, links and settings answered from a script, for window tests.
#include "player/settings/settings_store.h"
#include "player/toolkit/dialogs.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velorra::testing {

class ScriptedDialogs : public toolkit::FileDialogs {
public:
    // The answers of the next dialogs, in order; nothing (cancel) once they run out.
    std::deque<std::optional<std::string>> answers;
    std::vector<toolkit::FileDialogRequest> requests;

    std::optional<std::string> showOpen(const toolkit::FileDialogRequest& r) override { return answer(r); }
    std::optional<std::string> showSave(const toolkit::FileDialogRequest& r) override { return answer(r); }

private:
    std::optional<std::string> answer(const toolkit::FileDialogRequest& r) {
        requests.push_back(r);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

class RecordedMessages : public toolkit::MessageBoxes {
public:
    struct Message {
        std::string text, title;
    };
    std::vector<Message> shown;
    void show(const std::string& text, const std::string& title) override { shown.push_back({text, title}); }
};

class RecordedLinks : public toolkit::LinkOpener {
public:
    std::vector<std::string> opened;
    void open(const std::string& link) override { opened.push_back(link); }
};

// Settings held in memory, keyed "app/section/key".
class MemorySettings : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        auto it = values.find(app + "/" + section + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    void write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        values[app + "/" + section + "/" + key] = value;
    }
};

}  // namespace velorra::testing
