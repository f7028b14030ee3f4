#pragma once
// A branch's gain along the mix: straight lines through up to three points in frame order, flat
// before the first and after the last. Frames are the mix's own count, so a ramp starts and ends
// on exact frames whatever the output does with them.
#include <array>
#include <cstddef>
#include <cstdint>

namespace velorra {

struct GainRamp {
    struct Point {
        int64_t frame = 0;
        double factor = 0.0;
    };
    std::array<Point, 3> points{};
    size_t count = 1;

    // One factor all along.
    static GainRamp flat(double factor) { return {{Point{0, factor}}, 1}; }
    // From `factor` at `from` to `to` over `length` frames.
    static GainRamp line(int64_t from, double factor, int64_t length, double to) {
        return {{Point{from, factor}, Point{from + length, to}}, 2};
    }
    double at(int64_t frame) const;
    const Point& last() const { return points[count - 1]; }
    // Whether the gain leaves the sound from `frame` on as it is.
    bool unityFrom(int64_t frame) const { return frame >= last().frame && last().factor == 1.0; }
    // Scales `frames` interleaved stereo frames, the first of which is frame `start` of the mix,
    // each by the factor of its own frame; `left` and `right` weigh the two sides (the balance).
    void scale(float* samples, size_t frames, int64_t start, float left, float right) const;
};

}  // namespace velorra
