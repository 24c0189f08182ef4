#pragma once
// The module's four settings as last read from it or loaded from a file.

#include <cstdint>

struct HeldSettings {
    std::uint8_t g_maxBrightness = 0;
    bool g_irFullRepeat = false;
    std::uint16_t g_irRepeatPeriod = 0;
    std::uint16_t g_defaultResistors = 0;
    bool operator==(const HeldSettings&) const = default;
};
