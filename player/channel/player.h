#pragma once
// One audio channel: plays one media file through the media service and exposes its transport,
// position and duration in whole seconds, rate, volume and balance. No operation fails towards
// its caller: a failed service call is skipped; setters have recorded their value first, getters
// then give 0 and record it.
//
// The graph is built lazily. OpenFile learns the duration from the file's headers where the
// service can, and the graph for the file is built and rendered on the first operation that
// needs it; until then the channel behaves as one stopped at position 0. The total-length
// calculation opens thousands of channels only to read Duration and never pays for a graph.
//
// The channel hears its stream: when it ends or fails, the channel tells onStream, on the
// user-interface thread. A stream that fails leaves the channel with Duration 0, as a file
// that cannot be rendered has; a dropped graph, and so a dropped channel, tells nothing more.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "player/channel/media_service.h"

namespace velorra {

// Status numbers of OpenFile: the last step that failed.
inline constexpr int32_t kOpenOk = 0;
inline constexpr int32_t kOpenNotRendered = 2;  // the file could not be rendered
inline constexpr int32_t kOpenNoDuration = 3;   // the graph could not tell the duration

// How long a playing channel takes to reach a new volume, unless the caller says otherwise.
inline constexpr std::chrono::milliseconds kVolumeRamp{20};

class Player {
public:
    explicit Player(MediaService& service);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    ~Player();

    // The output device chosen by the user, by its id (or a display name kept from older
    // settings): the graph of the next OpenFile plays on it, or on the default output when the
    // text is empty or no device answers to it.
    const std::string& OutputDevice() const { return outputDevice_; }
    void setOutputDevice(std::string device) { outputDevice_ = std::move(device); }

    void PauseFile();

    int32_t Position();
    void setPosition(int32_t seconds);

    double Pitch();
    void setPitch(double rate);

    int32_t Duration() const { return duration_; }
    // A length that no header told, asked again of the graph; true when it is known now.
    bool learnDuration();
    void setDuration(int32_t seconds) { duration_ = seconds; }

    // Hundredths of a decibel, 0 full level, -10000 silent. A playing channel reaches a new
    // volume over `ramp`, following a straight line from where its sound stands.
    int32_t Volume();
    void setVolume(int32_t centibels, std::chrono::milliseconds ramp = kVolumeRamp);

    // The song's own gain before the volume, a linear factor (1.0 leaves its sound as it is): the
    // volume acts on top of it. Recorded, and given to the graph now if it has one, else when it
    // is built; a playing channel gets there over `ramp`.
    double Loudness() const { return loudness_; }
    void setLoudness(double factor, std::chrono::milliseconds ramp);

    // Set in the balance bar's unit (-10 to 10, handed to the service times 1000); read in the
    // service's unit (-10000 to 10000).
    int32_t Balance();
    void setBalance(int32_t balance);

    // Stops playback; the channel keeps its position and PlayFile resumes there.
    void StopFile();
    void PlayFile();

    // Opens Filename in a fresh graph and learns Duration; returns one of the kOpen numbers.
    int32_t OpenFile();

    const std::string& Filename() const { return filename_; }
    void setFilename(std::string path) { filename_ = std::move(path); }

    // Told when the opened file's stream ends or fails.
    std::function<void(StreamEvent)> onStream;
    // The opened file's stream has failed, or the file could not be rendered.
    bool Failed() const { return failed_; }
    // The service's words for that failure; empty when none came.
    const std::string& FailureText() const { return failureText_; }
    // PlayFile was the last transport call: the channel plays unless its stream ended or failed.
    bool Playing() const { return playing_; }

private:
    // The graph of the opened file, built now if OpenFile left it for later; null without one.
    MediaGraph* graph();
    // A new graph for the opened file, listening to its stream, the old one dropped first;
    // false when the service made none or refused the file.
    bool build(const std::string& path);

    MediaService& service_;
    std::unique_ptr<MediaGraph> graph_;
    std::string pendingFile_;  // the opened file whose graph is still to be built
    bool graphPending_ = false;

    std::string filename_;
    int32_t volume_ = 0;
    double loudness_ = 1.0;
    int32_t balance_ = 0;
    double pitch_ = 0.0;
    int32_t duration_ = 0;
    int32_t position_ = 0;
    bool failed_ = false;
    bool playing_ = false;
    std::string failureText_;
    std::string outputDevice_;
};

}  // namespace velorra
