// Long random sequences of what a user does, on the headless window over the fake media service,
// with time moving between the actions: commands in the middle of transitions, rows deleted
// under the playing song, streams that end early or fail, a calculation with commands during it.
// After every step the player must still hold together (see check()). A failing sequence is
// printed with its seed and shrunk to a short one that still fails.
//
// VELORRA_MODEL_SEQUENCES (default 2000) and VELORRA_MODEL_SECONDS (default 0: no time limit)
// set how much is run; `make soak` runs for SOAK_SECONDS.
#include "support/player_harness.h"
#include "support/song_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velorra {
namespace {

enum class Act {
    Play, Pause, Stop, Next, Back, PlaySelected, Seek, Volume, Curve, TransitionTime, Trims,
    DeleteRow, Clear, Sort, RandomOrder, AddRow, Calculate, CalculateWithCommand, Device,
    HandOver, TrimSilence, Measured, Shuffle, Wait, LongWait
};

constexpr const char* ActNames[] = {"play", "pause", "stop", "next", "back", "play selected", "seek", "volume",
                                    "curve", "transition time", "trims", "delete row", "clear", "sort",
                                    "random order", "add row", "calculate", "calculate with a command",
                                    "device", "hand over", "trim silence", "measured", "shuffle", "wait",
                                    "long wait"};

struct Action {
    Act act;
    int a = 0, b = 0;
};

std::string describe(const Action& x) {
    std::ostringstream out;
    out << ActNames[static_cast<int>(x.act)] << "(" << x.a << ", " << x.b << ")";
    return out.str();
}

// The files of a sequence: songs of every kind the fake service can play or refuse.
struct SongFile {
    std::string name;
    enum class Kind { Plays, Missing, NotRendered, EndsEarly, FailsMidway } kind;
    double seconds, breaksAt;
};

std::vector<SongFile> songFiles(std::mt19937& rng) {
    std::vector<SongFile> files;
    std::uniform_real_distribution<double> length(2.0, 40.0);
    for (int i = 0; i < 12; ++i) {
        const auto kind = static_cast<SongFile::Kind>(i % 5 == 0 ? 1 + static_cast<int>(rng() % 4) : 0);
        const double seconds = length(rng);
        files.push_back({"song" + std::to_string(i) + ".mp3", kind, seconds, seconds * (0.2 + 0.6 * (rng() % 100) / 100.0)});
    }
    return files;
}

Action randomAction(std::mt19937& rng) {
    // Waits come most often, so commands land at every moment of songs and transitions.
    static const std::vector<std::pair<Act, int>> weights{
        {Act::Play, 6},       {Act::Pause, 4},        {Act::Stop, 4},         {Act::Next, 6},
        {Act::Back, 4},       {Act::PlaySelected, 4}, {Act::Seek, 4},         {Act::Volume, 4},
        {Act::Curve, 3},      {Act::TransitionTime, 3}, {Act::Trims, 2},      {Act::DeleteRow, 3},
        {Act::Clear, 1},      {Act::Sort, 2},         {Act::RandomOrder, 2},  {Act::AddRow, 4},
        {Act::Calculate, 1},  {Act::CalculateWithCommand, 1}, {Act::Device, 1}, {Act::HandOver, 1},
        {Act::TrimSilence, 1}, {Act::Measured, 2},    {Act::Shuffle, 1},      {Act::Wait, 30},
        {Act::LongWait, 6}};
    int total = 0;
    for (const auto& [act, w] : weights) total += w;
    int pick = static_cast<int>(rng() % static_cast<unsigned>(total));
    for (const auto& [act, w] : weights) {
        if (pick < w) return {act, static_cast<int>(rng() % 1000), static_cast<int>(rng() % 1000)};
        pick -= w;
    }
    return {Act::Wait};
}

// One run of a sequence; returns the first broken rule, empty when every step held.
class Run : public testing::PlayerHarness {
public:
    explicit Run(const std::vector<SongFile>& files) : files_(files) {
        for (const auto& f : files) {
            switch (f.kind) {
            case SongFile::Kind::Plays: media.setDuration(f.name, f.seconds); break;
            case SongFile::Kind::Missing: media.failToOpen(f.name); break;
            case SongFile::Kind::NotRendered: media.failToRender(f.name, f.seconds); break;
            case SongFile::Kind::EndsEarly: media.breakAt(f.name, f.seconds, f.breaksAt, StreamEvent::Ended); break;
            case SongFile::Kind::FailsMidway: media.breakAt(f.name, f.seconds, f.breaksAt, StreamEvent::Failed); break;
            }
        }
        media.setOutputDevices({{"speakers", "Speakers"}});
        settings.values["Velorra/Transitions/TransitionTime"] = "3";
        player.show();
        for (int i = 0; i < 5; ++i) testing::addSongRow(player.lstClipList, files_[static_cast<size_t>(i)].name);
    }

    std::string step(const Action& x) {
        const auto& channels = player.playback.Channels;
        const std::array<const Player*, 2> before{channels[0].get(), channels[1].get()};
        const bool heldBefore = player.playback.Held();
        bool command = false;  // the action may start a song
        loadsAtStep_ = loads_;
        try {
            command = apply(x);
        } catch (const std::exception& e) {
            return std::string("an exception escaped: ") + e.what();
        }
        if (heldBefore && !command && (channels[0].get() != before[0] || channels[1].get() != before[1]))
            return "a song started after Stop without a command";
        return check();
    }

private:
    int row(int r) const { return player.lstClipList.count() ? 1 + r % player.lstClipList.count() : 0; }

    // Runs the action; true when it is a command that may start a song.
    bool apply(const Action& x) {
        auto& p = player;
        switch (x.act) {
        case Act::Play: p.btnPlay.click(); return true;
        case Act::Pause: p.btnPause.click(); return true;
        case Act::Stop: p.btnStop.click(); return false;
        case Act::Next: p.btnNext.click(); return true;
        case Act::Back: p.btnBack.click(); return true;
        case Act::PlaySelected:
            if (p.lstClipList.count()) p.lstClipList.setSelectedItem(row(x.a));
            p.mnuPlaySelectedItem_Click();
            return true;
        case Act::Seek:
            if (p.hscPosition.Max() > 0) p.hscPosition.setValue(x.a % (p.hscPosition.Max() + 1));
            return false;
        case Act::Volume: p.hscVolume.setValue(x.a % 86); return false;
        case Act::Curve: p.optTransition[static_cast<size_t>(x.a % 5)].click(); return false;
        case Act::TransitionTime: p.spinTransitionTime.setValue(1 + x.a % 10); return false;
        case Act::Trims:
            p.spinCutFirst.setValue(x.a % 4);
            p.spinCutLast.setValue(x.b % 4);
            return false;
        case Act::DeleteRow:
            if (!p.lstClipList.count()) return false;
            // The playing row as often as any other.
            p.lstClipList.setSelectedItem(x.b % 3 == 0 && p.CurrentIndex >= 1 && p.CurrentIndex <= p.lstClipList.count()
                                              ? static_cast<int32_t>(p.CurrentIndex)
                                              : row(x.a));
            if (p.lstClipList.selectedItem() == p.CurrentIndex) playingRowGone_ = true;
            p.mnuDeleteSelectedItem_Click();
            return false;
        case Act::Clear:
            p.mnuClear_Click();
            playingRowGone_ = true;
            return false;
        case Act::Sort: p.lstClipList_ColumnClick(1 + x.a % 7); return false;
        case Act::RandomOrder: p.mnuRandomOrder_Click(); return false;
        case Act::AddRow:
            testing::addSongRow(p.lstClipList, files_[static_cast<size_t>(x.a) % files_.size()].name);
            return false;
        case Act::Calculate: p.cmdCalculate.click(); return false;
        case Act::CalculateWithCommand:
            // The command lands between two rows of the calculation.
            loop.post([this, x] { apply({static_cast<Act>(x.b % 6), x.a, 0}); });
            p.cmdCalculate.click();
            loop.advance(0);  // an empty list runs no events: the command comes now
            return true;
        case Act::Device: p.mnuOutputDeviceItem_Click(x.a % 2 - 1); return false;
        case Act::HandOver:
            // As the program takes a file handed over by a second start.
            p.btnStop_Click();
            p.mnuClear_Click();
            p.OpenFile(files_[static_cast<size_t>(x.a) % files_.size()].name, true, 0);
            p.btnPlay_Click();
            playingRowGone_ = true;
            return true;
        case Act::TrimSilence: p.mnuTrimSilence.click(); return false;
        case Act::Measured:
            if (!silence.requests.empty())
                silence.answer(silence.requests[static_cast<size_t>(x.a) % silence.requests.size()],
                               {double(x.a % 5), double(x.b % 5)});
            loop.advance(0);
            return false;
        case Act::Shuffle: p.chkRndPlay.setValue(p.chkRndPlay.Value() == 1 ? 0 : 1); return false;
        case Act::Wait:
        case Act::LongWait: wait(x.act == Act::Wait ? x.a % 400 : 1000 + x.a * 10); return false;
        }
        return false;
    }

    // Time moves in small steps; a paused song stands still all the while.
    void wait(int ms) {
        auto& core = player.playback;
        const Player* paused = core.State() == PlayState::Paused ? core.channelIn(core.ActiveChannel) : nullptr;
        const int32_t at = paused ? const_cast<Player*>(paused)->Position() : 0;
        const int loads = loads_;
        for (int waited = 0; waited < ms; waited += 50) {
            loop.advance(std::min(50, ms - waited));
            if (!broken_.empty()) return;
            if (const std::string why = check(); !why.empty()) {
                broken_ = why;
                return;
            }
        }
        if (paused && core.State() == PlayState::Paused && loads_ == loads && const_cast<Player*>(paused)->Position() != at)
            broken_ = "a paused song moved";
    }

    std::string check() {
        if (!broken_.empty()) return broken_;
        auto& p = player;
        auto& core = p.playback;
        int running = 0;
        for (int id = 1; id <= media.graphCount(); ++id) {
            const FakeGraph& g = media.graph(id);
            if (!g.alive) continue;
            if (g.state == FakeGraphState::Running && !g.failed) ++running;
            if (g.volume > 0 || g.volume < -7225) return "a channel's volume left its range";
        }
        if (running > 2) return "more than two channels sound";
        if (core.Held() && running > 0) return "something sounds after Stop";
        if (core.Level() != p.hscVolume.Value()) return "the master volume bar and the level differ";
        for (int16_t i = 0; i < 2; ++i) {
            const int32_t f = core.Faders[static_cast<size_t>(i)];
            if (f < 0 || f > PlaybackCore::Top) return "a fader left its range";
            if (p.vscVolume[static_cast<size_t>(i)].Value() != f) return "a fader and its bar differ";
        }
        if (p.lstClipList.markedRow() != core.CurrentIndex()) return "the marked row is not the playing row";
        // A level lowered midway ends the transition at the next tick.
        highestLevel_ = std::max(highestLevel_, core.Level());
        if (core.TransitionStep > highestLevel_ + 1 && core.tmrTransition.Enabled())
            return "a transition ran past L + 1 ticks";
        const Player* active = core.channelIn(core.ActiveChannel);
        const int32_t r = core.CurrentIndex();
        if (!playingRowGone_ && active && !active->Filename().empty() && r >= 1 && r <= p.lstClipList.count() &&
            p.lstClipList.text(r, column::Location) != active->Filename())
            return "the playing row is not the active channel's song";
        return {};
    }

public:
    void songLoaded() {
        // Songs that change without end in no time would hold the program for good.
        if (++loads_ > loadsAtStep_ + 1000) throw std::runtime_error("runaway: a thousand song changes in one step");
        playingRowGone_ = false;
        highestLevel_ = player.playback.Level();
    }

private:
    const std::vector<SongFile>& files_;
    bool playingRowGone_ = false;
    int32_t highestLevel_ = 0;
    int loads_ = 0, loadsAtStep_ = 0;
    std::string broken_;
};

// Replays `actions` on a fresh player; the index of the step that broke a rule, and the rule.
struct Failure {
    size_t step;
    std::string why;
};

class SongLoads : public PlaybackObserver {
public:
    explicit SongLoads(std::function<void()> f) : f_(std::move(f)) {}
    void songLoaded() override { f_(); }

private:
    std::function<void()> f_;
};

std::optional<Failure> replay(uint32_t seed, const std::vector<Action>& actions) {
    std::mt19937 rng(seed);
    const auto files = songFiles(rng);
    Run run(files);
    SongLoads loads([&run] { run.songLoaded(); });
    run.player.playback.addObserver(loads);
    ::testing::internal::CaptureStderr();  // the failed files' lines
    std::optional<Failure> failure;
    for (size_t i = 0; i < actions.size() && !failure; ++i)
        if (std::string why = run.step(actions[i]); !why.empty()) failure = Failure{i, why};
    ::testing::internal::GetCapturedStderr();
    run.player.playback.removeObserver(loads);
    return failure;
}

// The shortest sequence found that still breaks a rule: chunks, then single actions, removed
// while the failure stays.
std::vector<Action> shrink(uint32_t seed, std::vector<Action> actions) {
    for (size_t chunk = actions.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t start = 0; start + chunk <= actions.size();) {
            std::vector<Action> shorter(actions.begin(), actions.begin() + static_cast<long>(start));
            shorter.insert(shorter.end(), actions.begin() + static_cast<long>(start + chunk), actions.end());
            if (replay(seed, shorter))
                actions = std::move(shorter);
            else
                start += chunk;
        }
    }
    return actions;
}

int envNumber(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

TEST(PlaybackModel, RandomUserSessionsKeepThePlayerWhole) {
    const int sequences = envNumber("VELORRA_MODEL_SEQUENCES", 2000);
    const int seconds = envNumber("VELORRA_MODEL_SECONDS", 0);
    const uint32_t firstSeed = static_cast<uint32_t>(envNumber("VELORRA_MODEL_SEED", 1));
    constexpr size_t Length = 200;
    const auto start = std::chrono::steady_clock::now();
    int ran = 0;
    for (uint32_t seed = firstSeed;; ++seed, ++ran) {
        const bool timeLeft = seconds > 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds);
        if (ran >= sequences && !timeLeft) break;
        std::mt19937 acts(seed * 7919u + 1);
        std::vector<Action> actions;
        for (size_t i = 0; i < Length; ++i) actions.push_back(randomAction(acts));
        const auto failure = replay(seed, actions);
        if (!failure) continue;
        const auto shortest = shrink(seed, std::vector<Action>(actions.begin(), actions.begin() + static_cast<long>(failure->step) + 1));
        std::ostringstream steps;
        for (const auto& a : shortest) steps << "  " << describe(a) << "\n";
        const auto again = replay(seed, shortest);
        FAIL() << "seed " << seed << ": " << failure->why << " at step " << failure->step << "; shrunk to "
               << shortest.size() << " steps (" << (again ? again->why : "no longer fails") << "):\n"
               << steps.str();
    }
    std::printf("%d sequences of %zu actions\n", ran, Length);
}

}  // namespace
}  // namespace velorra
