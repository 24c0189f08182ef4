#pragma once
// The button codes the module's firmware recognises, in the order of its
// buttons (0 first: no button pressed). The virtual module draws its factory
// rows and its live presses from them.

#include <cstdint>

inline constexpr std::uint8_t kMediaCodes[] = {0x00, 0x16, 0x15, 0x19, 0x1C, 0x23, 0x04,
                                               0x05, 0x03, 0x02, 0x07, 0x10, 0x11, 0x0C};
inline constexpr std::uint8_t kHornCode = 0x01;
inline constexpr std::uint16_t kAccCodes[] = {0x0000, 0x0010, 0x0020, 0x0080, 0x0100, 0x0200, 0x0400, 0x0800};
// The RB output's one resistor; the RA ladder is bits 0 to 14, one step each.
inline constexpr std::uint16_t kRbResistor = 0x8000;
