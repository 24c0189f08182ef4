#pragma once
// Resistor names as people type them: on a command line or in a JSON file the
// ohm sign is rarely at hand, so a name is read leniently where the window's
// cells read it exactly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The two resistance-remote outputs; each has its own catalogue.
enum class ResistorOutput { Ra, Rb };

// The catalogue code of a name of `output`: the catalogue's name exactly, or
// the same with "Ohm", "ohm" or the Greek capital omega for the ohm sign
// ("kOhm", "kohm" included), with or without the space before the unit; "none"
// and the empty text for no resistor. Nothing when no entry has that name.
std::optional<std::uint16_t> ReadResistorName(ResistorOutput output, std::wstring_view text);

// The names `output` accepts, on one line: "none, 1.2 kΩ, ..., 22 Ω".
std::wstring AcceptedResistorNames(ResistorOutput output);
