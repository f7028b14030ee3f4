// The rows of the play list: every row is made by AddFileToList from the file's tag; "Delete
// Selected Item", "Clear List" and "Random Order" change the list as a whole. CurrentIndex
// follows the playing row through all of them.
#include "player/playlist/play_list_helpers.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace velorra {

namespace {

struct TagTexts {
    std::string song, artist, album, year, genre, comment;
};

// The tag's title, or else the file name without its last four characters and its folder;
// a name of four characters or fewer is taken whole.
std::string rowTitle(const std::string& song, const std::string& filename) {
    if (!song.empty()) return song;
    if (filename.size() <= 4) return filename;
    const std::string stem = filename.substr(0, filename.size() - 4);
    const size_t cut = stem.find_last_of("/\\");
    return cut == std::string::npos ? stem : stem.substr(cut + 1);
}

constexpr const char* PlayingRowKey = "tarvo";

// A relative name is taken from the working directory as the row is made, so that the row's
// location (played, saved, dragged out and shown to the desktop) names the same file wherever
// the program works later. An empty name and an absolute one stay as they are.
std::string absoluteLocation(const std::string& name) {
    if (name.empty() || name.front() == '/') return name;
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd) return name;
    const std::string folder(cwd.get());
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

int32_t sortKeepingCurrent(toolkit::ListView& list, int32_t current, int k, bool ascending) {
    const bool marked = current > 0 && list.setKey(current, PlayingRowKey);
    list.sort(k, ascending);
    if (!marked) return current;
    const int32_t moved = list.findKey(PlayingRowKey);
    list.setKey(moved, {});
    return moved;
}

void frmPlayer::AddFileToList(const std::string& Filename, int32_t& InsertPos, toolkit::ListView& DestinationList) {
    // A file whose tag cannot be read still becomes a row, with empty tag columns: the control
    // keeps the previous file's values when its read fails, so they are taken only after a read.
    TagTexts tag;
    attempt([&] {
        Vextag1.setFilename(Filename);
        Vextag1.Read();
        tag = {Vextag1.Song(), Vextag1.Artist(), Vextag1.Album(), Vextag1.Year(), Vextag1.Genre(), Vextag1.Comment()};
    });
    if (InsertPos == 0) InsertPos = DestinationList.count() + 1;
    if (!DestinationList.insert(InsertPos, {}, rowTitle(tag.song, Filename))) return;
    DestinationList.setText(InsertPos, 2, std::move(tag.artist));
    DestinationList.setText(InsertPos, 3, std::move(tag.album));
    DestinationList.setText(InsertPos, 4, std::move(tag.year));
    DestinationList.setText(InsertPos, 5, std::move(tag.genre));
    DestinationList.setText(InsertPos, 6, std::move(tag.comment));
    DestinationList.setText(InsertPos, 7, absoluteLocation(Filename));
    if (&DestinationList != &lstClipList) return;
    if (InsertPos <= CurrentIndex) ++CurrentIndex;
    tell(Event::Rows);
}

void frmPlayer::mnuDeleteSelectedItem_Click() {
    // From the last row up: each removal leaves the numbers of the rows above it as they were,
    // and removing the whole of a long list stays quick.
    for (int32_t i = lstClipList.count(); i >= 1; --i) {
        if (!lstClipList.selected(i)) continue;
        lstClipList.remove(i);
        if (i <= CurrentIndex) --CurrentIndex;
    }
    tell(Event::Rows);
}

void frmPlayer::mnuClear_Click() {
    lstClipList.clear();
    CurrentIndex = 0;
    tell(Event::Rows);
}

float frmPlayer::nextRandom() {
    // 24 random bits: every value is a float below 1.
    return static_cast<float>(randomGenerator() >> 8) * (1.0f / 16777216.0f);
}

void frmPlayer::mnuRandomOrder_Click() {
    const int32_t n = lstClipList.count();
    for (int32_t i = 1; i <= n; ++i) {
        const auto k = static_cast<int64_t>(std::floor(static_cast<double>(nextRandom()) * n + 1));
        char key[24];
        std::snprintf(key, sizeof key, "%06lld", static_cast<long long>(k));
        lstClipList.setText(i, 8, key);
    }
    CurrentIndex = sortKeepingCurrent(lstClipList, CurrentIndex, 8, true);
    mnuShowItemInPlay_Click();
}

}  // namespace velorra
