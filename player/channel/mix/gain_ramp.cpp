#include "player/channel/mix/gain_ramp.h"

#include <algorithm>

namespace velorra {

double GainRamp::at(int64_t frame) const {
    if (frame <= points[0].frame) return points[0].factor;
    for (size_t i = 1; i < count; ++i) {
        const Point &a = points[i - 1], &b = points[i];
        if (frame < b.frame)
            return a.factor + (b.factor - a.factor) * static_cast<double>(frame - a.frame) / static_cast<double>(b.frame - a.frame);
    }
    return last().factor;
}

void GainRamp::scale(float* samples, size_t frames, int64_t start, float left, float right) const {
    // Along a stretch the factor is a straight line in the frame's index: it is stepped, not
    // worked out afresh for every frame.
    const auto apply = [&](size_t from, size_t to, double factor, double perFrame) {
        if (perFrame == 0.0) {
            const auto l = static_cast<float>(factor) * left, r = static_cast<float>(factor) * right;
            for (size_t i = from; i < to; ++i) {
                samples[2 * i] *= l;
                samples[2 * i + 1] *= r;
            }
            return;
        }
        for (size_t i = from; i < to; ++i, factor += perFrame) {
            samples[2 * i] *= static_cast<float>(factor) * left;
            samples[2 * i + 1] *= static_cast<float>(factor) * right;
        }
    };
    const int64_t end = start + static_cast<int64_t>(frames);
    // The index of frame `f` of the mix within this stretch, kept inside it.
    const auto index = [&](int64_t f) { return static_cast<size_t>(std::clamp(f, start, end) - start); };
    size_t from = index(points[0].frame);
    apply(0, from, points[0].factor, 0.0);
    for (size_t k = 1; k < count; ++k) {
        const Point &a = points[k - 1], &b = points[k];
        const size_t to = index(b.frame);
        if (to > from) {
            const double slope = (b.factor - a.factor) / static_cast<double>(b.frame - a.frame);
            apply(from, to, a.factor + slope * static_cast<double>(start + static_cast<int64_t>(from) - a.frame), slope);
            from = to;
        }
    }
    apply(from, frames, last().factor, 0.0);
}

}  // namespace velorra
