// Factory contents of the virtual module, close to what a module leaves the
// workshop with: every named button has a row, so a fresh connection shows
// realistic tables.
#include "sim/factory_config.h"

#include "sim/button_codes.h"

namespace {

// NEC-style remote codes: address 0x00FF, command byte and its complement.
std::uint32_t necCode(std::uint8_t command) {
    return 0x00FFu | static_cast<std::uint32_t>(command) << 16 | static_cast<std::uint32_t>(~command & 0xFF) << 24;
}

}  // namespace

ModuleConfig FactoryConfig() {
    ModuleConfig config;
    // Media: one row per named button (entry 0 is "no button"); the volume
    // keys repeat while held, and each row picks its own RA ladder step.
    for (std::size_t i = 1; i < std::size(kMediaCodes); ++i) {
        ActionFields f;
        f.button = kMediaCodes[i];
        f.irCode = necCode(static_cast<std::uint8_t>(0x40 + i));
        f.flags = (f.button == 0x10 || f.button == 0x11) ? kFlagRepeat : 0;
        f.resistors = static_cast<std::uint16_t>(1u << (i - 1));
        config.media.push_back(MakeRecord<MediaAction>(f));
    }
    // Gears: paddles up and down, and two more positions, on the low lines.
    for (std::uint8_t i = 0; i < 4; ++i) {
        ActionFields f;
        f.button = static_cast<std::uint16_t>(1u << i);
        f.lines = static_cast<std::uint8_t>(1u << i);
        config.gears.push_back(MakeRecord<GearAction>(f));
    }
    // Horn: the horn relay on H1, held as long as the button.
    {
        ActionFields f;
        f.button = kHornCode;
        f.lines = 0x10;
        config.horn.push_back(MakeRecord<HornAction>(f));
    }
    // ACC: one row per named button, each on its own resistor, RB on Set.
    for (std::size_t i = 1; i < std::size(kAccCodes); ++i) {
        ActionFields f;
        f.button = kAccCodes[i];
        f.resistors = static_cast<std::uint16_t>(1u << (7 + i) | (f.button == 0x0100 ? kRbResistor : 0));
        config.acc.push_back(MakeRecord<AccAction>(f));
    }
    config.settings = {.maxBrightness = 80, .irFullRepeat = 0, .irRepeatPeriod = 100, .defaultResistors = 0};
    return config;
}
