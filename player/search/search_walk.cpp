// The search behind "&Search": a depth-first walk below the start directory that lets pending
// events run once per directory, the results in lstFoundFiles or, with their tags, in
// lstClipList, moving them between the two, and finding a row by its leading text.
#include "player/search/win_seek.h"

#include "player/toolkit/file_system.h"
#include "player/window/frm_player.h"

#include <cctype>
#include <vector>

namespace velorra {

namespace {

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

void WinSeek::cmdSearch_Click() {
    if (cmdSearch.Caption() == "&Back") {
        ResetSearch();
        txtSearchMask.setFocus();
        return;
    }
    const std::string highlighted = dirList.List(dirList.ListIndex());
    if (highlighted != dirList.Path()) {
        dirList.setPath(highlighted);
        return;
    }

    Picture2.setLeft(0);
    Picture2.setTop(0);
    Picture2.setVisible(true);
    cmdExit.setCaption("Cancel");
    filList.setPattern(txtSearchSpec.Text());
    // The lists may have been read a while ago: search what is there now.
    dirList.Refresh();
    filList.Refresh();
    cmdSearch.setEnabled(false);
    searchRoot_ = dirList.Path();
    const uint64_t unloads = unloads_;
    SearchDirectory(searchRoot_, "");
    // A search that ended early leaves the directory list where it stopped; put it back.
    dirList.setPath(searchRoot_);
    searchRoot_.clear();
    if (unloads != unloads_) return;  // the window was closed during the search

    filList.setPath(dirList.Path());
    setCaption(WindowCaption);
    cmdSearch.setCaption("&Back");
    searchIsDefault_ = false;
    cmdExit.setCaption("&Close");
    cmdSearch.setEnabled(true);
}

bool WinSeek::SearchDirectory(const std::string& DirPath, const std::string& ReturnPath) {
    setCaption(DirPath);
    SearchFlag = true;
    player_.services().loop.doEvents();
    if (!SearchFlag) return true;

    // Subdirectories from the last to the first, as they were when DirPath was listed: one
    // that cannot be read, or went away since, is skipped and the search goes on.
    std::vector<std::string> subdirectories;
    for (int32_t i = 0; i < dirList.ListCount(); ++i) subdirectories.push_back(dirList.List(i));
    for (auto sub = subdirectories.rbegin(); sub != subdirectories.rend() && SearchFlag; ++sub) {
        if (!dirList.setPath(DirPath)) break;  // DirPath itself went away
        if (dirList.setPath(*sub) && SearchDirectory(*sub, DirPath)) {
            setCaption(WindowCaption);
            return true;
        }
    }

    // The directory's own matches; filList follows dirList, unless DirPath can no longer be read.
    if (filList.Path() == DirPath) {
        for (int32_t i = 0; i < filList.ListCount(); ++i) {
            if (!addFound(toolkit::joinPath(DirPath, filList.List(i)))) {
                player_.services().messages.show(FullListMessage, "Velorra");
                SearchFlag = false;
                setCaption(WindowCaption);
                return true;
            }
            const std::string count = " " + std::to_string(++found_);
            setCaption("Searching... " + count + " Files Found ");
            lblCount.setCaption(count);
        }
    }

    if (!ReturnPath.empty()) dirList.setPath(ReturnPath);
    return false;
}

bool WinSeek::addFound(const std::string& path) {
    if (chkReadMP3Tags.Value() == 1) {
        if (lstClipList.count() >= resultCapacity) return false;
        int32_t pos = lstClipList.count() + 1;
        player_.AddFileToList(path, pos, lstClipList);
        return true;
    }
    if (lstFoundFiles.ListCount() >= resultCapacity) return false;
    return lstFoundFiles.AddItem(path);
}

void WinSeek::ResetSearch() {
    lstFoundFiles.Clear();
    lstClipList.clear();
    found_ = 0;
    lblCount.setCaption("0");
    SearchFlag = false;
    Picture2.setVisible(false);
    cmdSearch.setCaption("&Search");
    searchIsDefault_ = true;
    cmdExit.setCaption("&Close");
    Picture1.setVisible(true);
}

void WinSeek::chkReadMP3Tags_Click() {
    if (chkReadMP3Tags.Value() != 1) {
        lstFoundFiles.setVisible(true);
        return;
    }
    if (lstFoundFiles.Visible()) {
        lstClipList.clear();
        for (int32_t i = 0; i < lstFoundFiles.ListCount(); ++i) {
            int32_t pos = lstClipList.count() + 1;
            player_.AddFileToList(lstFoundFiles.List(i), pos, lstClipList);
        }
    }
    lstFoundFiles.setVisible(false);
}

void WinSeek::txtSearch_Change() {
    const std::string& text = txtSearch.Text();
    int32_t row = 0;
    if (chkSearchTitlesOnly.Value() == 1) {
        row = lstClipList.findItem(text);
    } else {
        for (int32_t r = 1; r <= lstClipList.count() && row == 0; ++r)
            for (int k = 1; k < lstClipList.columnCount(); ++k)
                if (startsWithNoCase(lstClipList.text(r, k), text)) {
                    row = r;
                    break;
                }
    }
    if (row == 0) return;
    lstClipList.setSelectedItem(row);
    lstClipList.ensureVisible(row);
}

}  // namespace velorra
