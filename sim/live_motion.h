#pragma once
// What the virtual module's buttons and dimmer show while nothing fixes them.

#include <cstdint>

#include "device/protocol.h"

// The live values `ms` after the module started, for a dimmer maximum of
// `maxBrightness`: every 1.5 s another button of each group; the dimmer sweeps
// up and down between dark and the maximum every 20 s.
LiveValues LiveMotion(long long ms, std::uint8_t maxBrightness);
