#pragma once
// The playback core: the engine that plays the play list top to bottom on two channels and joins
// consecutive songs with a timed transition. It owns the channels, the play state, the playing
// row, the trims, the transition step and the two ticks; it knows no window. The player window,
// the desktop adapter and the tests drive it through its commands and hear what changed as
// observers; it reads the play list through the small interface the window implements.
//
// Everything runs on the thread of the event loop it is given. A command never fails towards
// its caller: each step is attempted on its own, as the transport always has.
#include "player/analysis/analysis_store.h"
#include "player/analysis/silence_measurer.h"
#include "player/channel/media_service.h"
#include "player/channel/player.h"
#include "player/toolkit/event_loop.h"
#include "player/toolkit/timer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velorra {

enum class PlayState : int16_t { Stopped = 0, Playing = 1, Paused = 2 };

// The play list as the core reads it. Rows are numbered from 1.
class PlayList {
public:
    virtual ~PlayList() = default;
    virtual int32_t rowCount() const = 0;
    // The row's file; throws for a row that is not there.
    virtual std::string location(int32_t row) const = 0;
    // The full length of the row's file in seconds, when the list already knows it.
    virtual std::optional<double> knownLength(int32_t row) const = 0;
    // The row's full length (whole seconds) and trimmed length (mm:ss) became known; throws
    // for a row that is not there.
    virtual void setLengths(int32_t row, std::optional<int32_t> fullSeconds, const std::string& trimmed) = 0;
    // Whether the automatic advance picks the next row at random, and a draw in [0, 1) for it.
    virtual bool shuffle() const = 0;
    virtual double shufflePick() = 0;
};

// What the core tells. Every notification comes after the change, on the loop's thread.
class PlaybackObserver {
public:
    virtual ~PlaybackObserver() = default;
    virtual void playStateChanged() {}
    // The playing row moved (a song change, or the list's editing moved it).
    virtual void rowChanged() {}
    // The song change loaded row CurrentIndex and started it: StartPos, EndPos and the song
    // are new.
    virtual void songLoaded() {}
    // EndPos moved while the song plays (a measured tail, or a length learned late).
    virtual void trimsChanged() {}
    // A position tick read the active channel at `position` seconds.
    virtual void positionTick(int32_t /*position*/) {}
    // A command moved the song's position to `seconds` past its trimmed start.
    virtual void seeked(int32_t /*seconds*/) {}
    virtual void faderMoved(int16_t /*index*/) {}
    virtual void levelChanged() {}
    // The song of a file could not be played; `why` is the media service's own text.
    virtual void songFailed(const std::string& /*path*/, const std::string& /*why*/) {}
    // A pass over the whole list played nothing: playback stopped after `failures` files that
    // failed or ended before their songs began.
    virtual void nothingPlayable(int32_t /*failures*/) {}
    // The total-length calculation moved on: `rows` rows summed so far to `seconds`.
    virtual void totalProgress(double /*seconds*/, int32_t /*rows*/) {}
    virtual void totalDone(double /*seconds*/, int32_t /*rows*/) {}
};

class PlaybackCore {
public:
    // A fader runs from 0, loudest, to Top, silent; so does the master level the other way.
    static constexpr int32_t Top = 85;
    static constexpr int32_t PositionInterval = 100;

    PlaybackCore(toolkit::EventLoop& loop, MediaService& media, SilenceMeasurer& silence, PlayList& list);
    ~PlaybackCore();
    PlaybackCore(const PlaybackCore&) = delete;
    PlaybackCore& operator=(const PlaybackCore&) = delete;

    void addObserver(PlaybackObserver& o);
    void removeObserver(PlaybackObserver& o);

    // --- commands (the core starts with channel entry 1 present and entry 0 absent)
    void Play();
    void Pause();
    void Stop();
    void Back();
    void Next();
    // Plays row `index` (1 to the row count; another index only sets the state to playing).
    void PlayRow(int32_t index);
    // Moves the song to `seconds` past its trimmed start.
    void Seek(int32_t seconds);
    // The master level L, 0 (silent) to Top; false, and nothing changes, outside that range.
    bool setLevel(int32_t level);
    int32_t Level() const { return level_; }
    void setBalance(int32_t balance);
    void setPitch(double rate);
    void setTransitionType(int16_t type) { TransitionType = type; }
    void setTransitionTime(int32_t seconds) { TransitionTime = seconds; }
    void setCutFirst(int32_t seconds) { CutFirst = seconds; }
    void setCutLast(int32_t seconds) { CutLast = seconds; }
    void setTrimSilence(bool on);
    bool TrimSilence() const { return trimSilence_; }
    // "Match Loudness": on, each channel plays its song at the gain that brings it to -18 LUFS,
    // lowered where its peak would pass -1 dBFS, before its fader; a song not yet measured plays
    // at its own level. Turning it on or off moves the playing songs to their new gain over
    // LoudnessRamp.
    void setMatchLoudness(bool on);
    bool MatchLoudness() const { return matchLoudness_; }
    // The output device new channels play on, by its id (or a display name kept from older
    // settings); empty for the default.
    void setOutputDevice(std::string device) { outputDevice_ = std::move(device); }
    const std::string& OutputDevice() const { return outputDevice_; }
    // Sums the trimmed lengths of every row, less the overlapping transitions; a second call
    // while it runs cancels it. Pending events run between rows; measuring a row never touches
    // the channels.
    void CalculateTotal();
    bool Calculating() const { return calculating_; }
    // Ends every tick and the calculation: the core is going away with its window.
    void shutDown();

    // --- the playing row, also moved by the list's editing (inserting before it, deleting it)
    int32_t CurrentIndex() const { return currentIndex_; }
    void setCurrentIndex(int32_t index);

    // --- state, read by the window and the tests
    std::array<std::unique_ptr<Player>, 2> Channels;
    int16_t ActiveChannel = 0;
    PlayState State() const { return state_; }
    // The active channel carries a song the listener hears: it plays, did not fail and is not
    // paused or stopped.
    bool Sounding() const;
    int32_t StartPos = 0, EndPos = 0;
    // Where the song plays, in seconds past its trimmed start.
    int32_t SongPosition() const;
    int16_t TransitionType = 0;
    int32_t TransitionTime = 0, CutFirst = 0, CutLast = 0;
    int16_t TransitionStep = 0;
    std::array<int32_t, 2> Faders{Top, Top};
    // After Stop nothing starts by itself until a command starts a song again.
    bool Held() const { return held_; }
    toolkit::Timer tmrPosition;
    toolkit::Timer tmrTransition;

    // --- the procedures of the song change, the ticks and the fades
    void DoTransition();
    void LoadCurrentItem();
    void AdvanceSong();
    void tmrPosition_Timer();
    void tmrTransition_Timer();
    void Channels_StreamEnd(int16_t Index, StreamEvent event);
    double TransitionLead() const;
    // Moves fader i to `value` (0 to Top); the same value again does nothing, another outside
    // the range is refused. The change gives the channel its volume.
    bool setFader(int16_t index, int32_t value);
    // The fader's change action: channel i takes the volume of its fader.
    void vscVolume_Change(int16_t Index);
    // The master volume's change action: the active channel's fader follows the level.
    void hscVolume_Change();

    // --- silence trims
    struct SilenceTrims {
        int32_t leadIn = 0, tail = 0;
    };
    SilenceTrims silenceTrims(const std::string& path);
    void measureAhead();
    // The file of the row that plays after the current one when the list goes on in order; empty
    // when shuffle is to pick it or no row is current.
    std::string nextLocation();
    void silenceMeasured(const std::string& path, const Measurement& measurement);
    // --- loudness matching
    // How long a playing song takes to reach a new loudness gain.
    static constexpr std::chrono::milliseconds LoudnessRamp{500};
    // The linear gain the song of `path` plays at: exactly 1.0 with the option off or while its
    // loudness is not known.
    double loudnessGain(const std::string& path);
    // The measurements of the songs (silence, loudness, peak) kept across runs.
    AnalysisStore& measurements() { return silenceCache_; }

    // The channel in entry i, null for an absent entry.
    Player* channelIn(int32_t i) const;
    bool activeFailed() const;

private:
    void tell(const std::function<void(PlaybackObserver&)>& notify);
    void setState(PlayState s);
    // A command starts songs again after Stop.
    void release();
    // The song changes by itself: not after Stop, not while paused.
    bool advancing() const;
    void channelFailed(int16_t index);
    // The active song's length became known while it plays.
    void lengthLearned(Player& song);
    // Every channel playing the song of `path` (any song when empty) moves to its gain over
    // LoudnessRamp.
    void matchPlaying(const std::string& path);

    toolkit::EventLoop& loop_;
    MediaService& media_;
    SilenceMeasurer& silence_;
    PlayList& list_;
    std::vector<PlaybackObserver*> observers_;
    PlayState state_ = PlayState::Stopped;
    int32_t currentIndex_ = 0;
    int32_t level_ = 0;
    bool held_ = false;
    // Songs that failed or ended without a sound, one after the other, since a song last played.
    int32_t unplayedInARow_ = 0;
    // The active channel's stream ended before its song started.
    bool endedUnplayed_ = false;
    bool calculating_ = false, cancelRequested_ = false, shutDown_ = false;
    bool trimSilence_ = false;
    bool matchLoudness_ = false;
    std::string outputDevice_;
    AnalysisStore silenceCache_{AnalysisStore::defaultFile()};
    std::set<std::string> silencePending_;
};

}  // namespace velorra
