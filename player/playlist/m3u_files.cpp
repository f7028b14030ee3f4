// M3U play lists: OpenFile, the one way in for media files and play lists alike; reading a play
// list with its progress in the progress bar (shown only while a list is read) and the status
// bar; saving the list; the "Open..." and "Save List As..." commands.
#include "player/playlist/play_list_columns.h"
#include "player/playlist/m3u_io.h"
#include "player/playlist/play_list_helpers.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"
#include "player/window/product.h"

#include <cmath>
#include <system_error>

namespace velorra {

namespace {

// "Media File" keeps its label and shows every kind of file the player reads.
constexpr const char* OpenFilter =
    "M3U PlayList (*.M3U)|*.M3U|Media File (*.mp3; *.wav)|"
    "*.mp3; *.mp2; *.wav; *.flac; *.ogg; *.oga; *.opus; *.m4a; *.aac|Anything (*.*)|*.*";
constexpr const char* SaveFilter = "M3U PlayList (*.M3U)|*.M3U";

}  // namespace

std::string webAddressPanel() { return std::string(product::WebSite) + " "; }

void frmPlayer::OpenFile(const std::string& Filename, bool ClearList, int32_t InsertPos) {
    attempt([&] {
        if (isPlayListName(Filename))
            LoadPlayList(Filename, ClearList);
        else
            AddFileToList(Filename, InsertPos, lstClipList);
    });
}

void frmPlayer::LoadPlayList(const std::string& Filename, bool ClearList) {
    if (ClearList) mnuClear_Click();
    // The first failure ends the reading; the rows added so far stay and the progress shown
    // stays as it was.
    attempt([&] {
        LineReader file(Filename);
        ProgressBar1.setVisible(true);
        const int64_t size = file.size();
        double done = 1;
        int64_t lines = 0;
        while (const auto line = file.readLine()) {
            ++lines;
            // A line too long to be a path names no file: it is counted but makes no row.
            if (!line->tooLong() && !line->text.starts_with('#')) {
                int32_t pos = lstClipList.count() + 1;
                AddFileToList(resolveFromPlayList(Filename, line->text), pos, lstClipList);
            }
            done += static_cast<double>(line->length);
            if (size > 0 && !ProgressBar1.setValue(toInt32(static_cast<int64_t>(std::floor(done * 100 / size)))))
                return;
            StatusBar1.setPanelText(2, std::to_string(lines));
        }
        ProgressBar1.setValue(0);
        ProgressBar1.setVisible(false);
        StatusBar1.setPanelText(2, webAddressPanel());
    });
}

void frmPlayer::SavePlayList(const std::string& Filename) {
    std::string content;
    for (int32_t i = 1; i <= lstClipList.count(); ++i) content += lstClipList.text(i, column::Location) + "\r\n";
    try {
        replaceFile(Filename, content);
    } catch (const std::system_error& e) {
        services().messages.show("The play list could not be saved as \"" + Filename + "\": " + e.code().message() + ".",
                                 product::Name);
    }
}

void frmPlayer::mnuOpen_Click() {
    toolkit::FileDialogRequest request;
    request.filter = OpenFilter;
    request.fileMustExist = true;
    if (const auto name = services().dialogs.showOpen(request)) OpenFile(*name, false, 0);
}

void frmPlayer::mnuSaveListAs_Click() {
    toolkit::FileDialogRequest request;
    request.filter = SaveFilter;
    request.overwritePrompt = true;
    if (const auto name = services().dialogs.showSave(request)) SavePlayList(*name);
}

}  // namespace velorra
