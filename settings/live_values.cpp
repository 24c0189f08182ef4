#include "settings/live_values.h"

Outcome PollLiveValues(Module& module, LiveValues& live) {
    return AttemptOn(module, {&kPollLiveValues}, [&](Outcome&) {
        const PressedButtons pressed = getPressedButtons(module.link);
        const std::uint8_t brightness = getCurrentBrightness(module.link);
        live = {pressed, brightness};
    });
}
