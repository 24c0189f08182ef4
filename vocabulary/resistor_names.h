#pragma once
// Resistor names as people type them: on a command line or in a JSON file the
// ohm sign is rarely at hand, so a name is read leniently where the window's
// cells read it exactly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vocabulary/catalogues.h"

// The catalogue code of a resistance of `output` as typed: the catalogue's
// name, or any spelling of the same value: the ohm sign as "Ohm", "ohm", the
// Greek capital omega or left out, the space before the unit optional
// ("3.9 kOhm", "3.9k", "22ohm", "22"), or the prefix in place of the decimal
// point ("3k9"); "none" and the empty text for no resistor. Nothing when no
// entry has that value.
std::optional<std::uint16_t> ReadResistorName(ResistorOutput output, std::wstring_view text);

// The names `output` accepts, on one line: "none, 1.2 kΩ, ..., 22 Ω".
std::wstring AcceptedResistorNames(ResistorOutput output);

// The name of the output's part of a `resistors` value (bits 0 to 14 for RA,
// bit 15 for RB); "none" for no resistor; or, when no entry has that code,
// the code as 0x and four hexadecimal digits: a word for every value, where a
// cell shows nothing.
std::wstring ResistorNameOrCode(ResistorOutput output, std::uint16_t resistors);
