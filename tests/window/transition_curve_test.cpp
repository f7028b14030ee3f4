// The transition curves as pure arithmetic, the pictures drawn from them, and the ramp each fader
// change hands to its channel.
#include "playback_fixture.h"
#include "player/playback/transition_curve.h"
#include "player/window/transition_pictures.h"

#include <algorithm>

namespace velorra {
namespace {

constexpr int32_t M = 85;

// Both faders after every step of a curve at a level, the unnamed one kept.
std::vector<std::pair<int32_t, int32_t>> run(TransitionCurve curve, int32_t level) {
    int32_t in = M, out = M - level;
    std::vector<std::pair<int32_t, int32_t>> steps;
    for (int32_t s = 1; s <= level; ++s) {
        const auto f = transitionFaders(static_cast<int16_t>(curve), s, level, M);
        in = f.incoming.value_or(in);
        out = f.outgoing.value_or(out);
        steps.emplace_back(in, out);
    }
    return steps;
}

TEST(TransitionCurve, EachCurveMovesTheFadersItNamesFromSilentToTheLevel) {
    // At full level.
    const auto cross = run(TransitionCurve::CrossDissolve, 85);
    EXPECT_EQ(cross.front(), std::pair(84, 1));
    EXPECT_EQ(cross[42], std::pair(42, 43));
    EXPECT_EQ(cross.back(), std::pair(0, 85));
    const auto upDown = run(TransitionCurve::UpDown, 85);
    EXPECT_EQ(upDown.front(), std::pair(83, 0));
    EXPECT_EQ(upDown[41], std::pair(1, 0));  // step 42: the last of the first half
    EXPECT_EQ(upDown[43], std::pair(1, 3));
    EXPECT_EQ(upDown.back(), std::pair(1, 85));
    const auto downUp = run(TransitionCurve::DownUp, 85);
    EXPECT_EQ(downUp.front(), std::pair(85, 2));
    EXPECT_EQ(downUp[41], std::pair(85, 84));
    EXPECT_EQ(downUp[42], std::pair(84, 84));
    EXPECT_EQ(downUp.back(), std::pair(0, 84));
    // Below full level the curves end at the level's fader, M - L.
    const auto low = run(TransitionCurve::CrossDissolve, 40);
    EXPECT_EQ(low.front(), std::pair(84, 46));
    EXPECT_EQ(low.back(), std::pair(45, 85));
    for (const auto curve : {TransitionCurve::Mix, TransitionCurve::Cut}) {
        const auto f = transitionFaders(static_cast<int16_t>(curve), 7, 64, M);
        EXPECT_EQ(f.incoming, 21);
        EXPECT_EQ(f.outgoing, curve == TransitionCurve::Cut ? std::optional(85) : std::nullopt);
    }
    // Every fader a curve names stays in the faders' range, at every level.
    for (int16_t type = 0; type < 5; ++type)
        for (int32_t level = 0; level <= M; ++level)
            for (const auto& [in, out] : run(static_cast<TransitionCurve>(type), level)) {
                EXPECT_TRUE(in >= 0 && in <= M && out >= 0 && out <= M) << type << " at level " << level;
            }
    const auto none = transitionFaders(9, 3, 85, M);
    EXPECT_FALSE(none.incoming || none.outgoing);
}

TEST(TransitionCurve, PicturesAreDrawnFromTheCurves) {
    const auto levelAt = [](const toolkit::Stroke& s, size_t i) { return 22 - 4 - s.points[i].second; };
    for (int type = 0; type < 5; ++type) {
        const toolkit::Picture p = transitionPicture(type);
        ASSERT_FALSE(p.strokes.empty());
        const toolkit::Stroke& red = p.strokes.front();
        const toolkit::Stroke& blue = p.strokes.back();
        EXPECT_EQ(red.color, toolkit::colors::Red);
        EXPECT_EQ(blue.color, toolkit::colors::Blue);
        // The old song starts loud and ends silent, the new one ends loud, left to right.
        EXPECT_EQ(levelAt(red, 0), 15) << type;
        EXPECT_EQ(levelAt(red, red.points.size() - 1), 0) << type;
        EXPECT_GE(levelAt(blue, blue.points.size() - 1), 14) << type;
        for (const auto& stroke : p.strokes)  // time runs left to right
            EXPECT_TRUE(std::is_sorted(stroke.points.begin(), stroke.points.end(),
                                       [](const auto& a, const auto& b) { return a.first < b.first; }))
                << type;
    }
    // "Down  Up": the new song rises only after the old one has fallen.
    const toolkit::Picture downUp = transitionPicture(2);
    EXPECT_GE(downUp.strokes.back().points.front().first, 36);
}

using TransitionRamps = testing::PlaybackWindow;

TEST_F(TransitionRamps, AFaderGlidesOverTheTickIntervalDuringATransitionAndBrieflyOtherwise) {
    store("Transitions", "TransitionTime", "5");
    store("BasicAudio", "Volume", "85");
    addSong("one.mp3", 600);
    player.show();
    player.btnPlay.click();
    loop.advance(58);
    EXPECT_EQ(fader(1), 84);
    EXPECT_EQ(graphOf("one.mp3").volumeRamp, std::chrono::milliseconds(58));
    ASSERT_TRUE(runUntil([&] { return !player.playback.tmrTransition.Enabled(); }, 10000));
    player.hscVolume.setValue(60);
    EXPECT_EQ(graphOf("one.mp3").volume, -25 * 25);
    EXPECT_EQ(graphOf("one.mp3").volumeRamp, kVolumeRamp);
}

}  // namespace
}  // namespace velorra
