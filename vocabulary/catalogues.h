#pragma once
// The fixed catalogues that give button codes and resistor values their names.
// Order matters: combo boxes list the entries in this order and map a combo
// position back to the entry at the same position.

#include <cstdint>
#include <span>
#include <string>

#include "device/records.h"

struct CodeName {
    const wchar_t* name;
    std::uint16_t code;
};

extern const CodeName MediaButtons[14];
extern const CodeName GearButtons[1];
extern const CodeName HornButtons[2];
extern const CodeName AccButtons[8];
extern const CodeName ResistorsA[16];
extern const CodeName ResistorsB[2];

// The button catalogue of a table; empty for a number outside 0 to 3.
std::span<const CodeName> ButtonCatalogue(std::uint32_t table);

// The two resistance-remote outputs; each has its own catalogue.
enum class ResistorOutput { Ra, Rb };
std::span<const CodeName> ResistorCatalogue(ResistorOutput output);

// Cell text of a set flag or line bit: U+2714 HEAVY CHECK MARK.
inline constexpr const wchar_t* CheckMark = L"\u2714";
