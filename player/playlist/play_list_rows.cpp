// The rows of the play list: every row is made by AddFileToList from the file's tag; "Delete
// Selected Item", "Clear List" and "Random Order" change the list as a whole. CurrentIndex
// follows the playing row through all of them.
#include "player/playlist/play_list_columns.h"
#include "player/channel/whole_seconds.h"
#include "player/playlist/play_list_helpers.h"
#include "player/tags/row_tags.h"
#include "player/toolkit/attempt.h"
#include "player/window/frm_player.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include <unistd.h>

namespace velorra {

namespace {

bool endsWithNoCase(const std::string& s, std::string_view suffix) {
    return s.size() >= suffix.size() && ::strncasecmp(s.c_str() + s.size() - suffix.size(), suffix.data(), suffix.size()) == 0;
}

std::string afterLastSeparator(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The tag's title, or else the file name without its folder and its extension. A name ending
// in ".mp3" or ".wav" (any case) keeps the rule written for them: longer than four characters,
// it loses its last four and then its folder; otherwise it is taken whole. Any other extension
// goes whatever its length; a name without one (no dot after its first character, or a blank
// after its last dot) is kept whole.
std::string rowTitle(const std::string& song, const std::string& filename) {
    if (!song.empty()) return song;
    if (endsWithNoCase(filename, ".mp3") || endsWithNoCase(filename, ".wav"))
        return filename.size() <= 4 ? filename : afterLastSeparator(filename.substr(0, filename.size() - 4));
    std::string name = afterLastSeparator(filename);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0 && name.find(' ', dot) == std::string::npos) name.resize(dot);
    return name;
}

constexpr const char* PlayingRowKey = "tarvo";

}  // namespace

// Rows take their location through this, so that it is played, saved, dragged out and shown to
// the desktop as the same file wherever the program works later.
std::string absoluteLocation(const std::string& name) {
    if (name.empty() || name.front() == '/') return name;
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd) return name;
    const std::string folder(cwd.get());
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

int32_t sortKeepingCurrent(toolkit::ListView& list, int32_t current, int k, bool ascending) {
    const bool marked = current > 0 && list.setKey(current, PlayingRowKey);
    list.sort(k, ascending);
    if (!marked) return current;
    const int32_t moved = list.findKey(PlayingRowKey);
    list.setKey(moved, {});
    return moved;
}

void frmPlayer::AddFileToList(const std::string& Filename, int32_t& InsertPos, toolkit::ListView& DestinationList) {
    // A file whose tag cannot be read still becomes a row, with empty tag columns.
    RowTags row = readRowTags(Vextag1, Filename, mnuReadOtherTags.Checked());
    vextag::TagValues& tag = row.values;

    if (InsertPos == 0) InsertPos = DestinationList.count() + 1;
    if (!DestinationList.insert(InsertPos, {}, rowTitle(tag.song, Filename))) return;
    DestinationList.setText(InsertPos, column::Artist, std::move(tag.artist));
    DestinationList.setText(InsertPos, column::Cd, std::move(tag.album));
    DestinationList.setText(InsertPos, column::Year, std::move(tag.year));
    DestinationList.setText(InsertPos, column::Genre, std::move(tag.genre));
    DestinationList.setText(InsertPos, column::Comment, std::move(tag.comment));
    DestinationList.setText(InsertPos, column::Location, absoluteLocation(Filename));
    // The rows the other tags made know their length at once, the way "Calculate Total" writes it.
    if (row.fromOtherTags)
        if (const auto seconds = services_.media.probeDuration(Filename))
            if (const auto whole = roundToInt32(*seconds)) {
                DestinationList.setText(InsertPos, column::TotLength, std::to_string(*whole));
                attempt([&] { DestinationList.setText(InsertPos, column::Length, SegToMin(double(*whole) - (double(playback.CutFirst) + playback.CutLast))); });
            }
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
        lstClipList.setText(i, column::Azar, key);
    }
    CurrentIndex = sortKeepingCurrent(lstClipList, CurrentIndex, column::Azar, true);
    mnuShowItemInPlay_Click();
}

}  // namespace velorra
