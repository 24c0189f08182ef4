#include "sim/live_motion.h"

#include <iterator>

#include "sim/button_codes.h"

LiveValues LiveMotion(long long ms, std::uint8_t maxBrightness) {
    auto step = static_cast<std::size_t>(ms / 1500);
    LiveValues live;
    live.pressed.media = static_cast<std::uint8_t>(kMediaCodes[step % std::size(kMediaCodes)]);
    live.pressed.gears = step % 4 == 1 ? 0x01 : 0x00;
    live.pressed.horn = step % 5 == 2 ? kHornCode : 0x00;
    live.pressed.acc = kAccCodes[step % std::size(kAccCodes)];
    long long phase = ms % 20000;
    long long level = phase < 10000 ? phase : 20000 - phase;
    live.brightness = static_cast<std::uint8_t>(maxBrightness * level / 10000);
    return live;
}
