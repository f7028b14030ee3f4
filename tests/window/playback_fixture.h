#pragma once
// A player window on the manual loop and the fake media service, with songs that exist only as
// names and lengths. Time moves only when a test advances the loop.
#include "support/player_harness.h"
#include "support/song_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace velorra::testing {

struct PlaybackWindow : ::testing::Test, PlayerHarness {
    // A stored setting, read when the window starts.
    void store(const std::string& section, const std::string& key, const std::string& value) {
        settings.values["Velorra/" + section + "/" + key] = value;
    }
    // A row for a song of the given length; its Location is its name.
    void addSong(const std::string& name, double seconds) {
        media.setDuration(name, seconds);
        addRow(name);
    }
    // A row whose file cannot be opened.
    void addBrokenSong(const std::string& name) {
        media.failToOpen(name);
        addRow(name);
    }
    void addRow(const std::string& name) {
        testing::addSongRow(player.lstClipList, name);
    }

    // The graph that plays a song now (the last one made for it).
    const FakeGraph& graphOf(const std::string& name) const {
        const FakeGraph* g = media.lastGraphFor(name);
        if (!g) throw std::logic_error("no graph for " + name);
        return *g;
    }
    bool playing(const std::string& name) const {
        const FakeGraph* g = media.lastGraphFor(name);
        return g && g->alive && g->state == FakeGraphState::Running;
    }
    // The files rendered so far, in order.
    std::vector<std::string> rendered() const {
        std::vector<std::string> files;
        for (const auto& call : media.callsOf("render")) files.push_back(call.argument);
        return files;
    }
    // The file the channel in an entry has opened, empty for an absent entry.
    std::string fileIn(int entry) const {
        const auto& p = player.playback.Channels.at(static_cast<size_t>(entry));
        return p ? p->Filename() : std::string();
    }
    // Advances the clock in position ticks until `done` holds, at most `limitMs`.
    template <class Done>
    bool runUntil(Done done, int64_t limitMs) {
        for (int64_t waited = 0; waited <= limitMs; waited += 10) {
            if (done()) return true;
            loop.advance(10);
        }
        return done();
    }
    int32_t fader(int entry) const { return player.vscVolume.at(static_cast<size_t>(entry)).Value(); }
};

}  // namespace velorra::testing
