#include "player/render/mix_settings.h"

#include "player/channel/whole_seconds.h"
#include "player/toolkit/attempt.h"
#include "player/window/decimal_number.h"

#include <stdexcept>

namespace velorra::render {

namespace {

int32_t wholeNumber32(const std::string& text) {
    const auto value = decimalNumber(text);
    if (!value) throw std::invalid_argument("not a number");
    const auto whole = roundToInt32(*value);
    if (!whole) throw std::overflow_error("value does not fit 32 bits");
    return *whole;
}

int16_t wholeNumber16(const std::string& text) { return toInt16(wholeNumber32(text)); }

}  // namespace

MixSettings MixSettings::read(SettingsStore& store) {
    const auto read = [&](const char* section, const char* key, const char* fallback) {
        return store.read("Velorra", section, key, fallback);
    };
    MixSettings s;
    attempt([&] { s.transitionTime = wholeNumber32(read("Transitions", "TransitionTime", "1")); });
    attempt([&] { s.transitionType = wholeNumber16(read("Transitions", "TransitionType", "0")); });
    attempt([&] { s.cutFirst = wholeNumber16(read("Trimming", "CutFirst", "0")); });
    attempt([&] { s.cutLast = wholeNumber16(read("Trimming", "CutLast", "0")); });
    attempt([&] { s.trimSilence = wholeNumber16(read("Trimming", "TrimSilence", "0")) != 0; });
    attempt([&] { s.matchLoudness = wholeNumber16(read("BasicAudio", "MatchLoudness", "0")) != 0; });
    return s;
}

}  // namespace velorra::render
