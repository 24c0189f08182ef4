#pragma once
// Texts of list-view cells and live displays, and reading them back.

#include <cstdint>
#include <string>

std::wstring FormatButton(std::uint32_t table, std::uint16_t code);
// True and the code when the text reads as a button of the table; the range
// is checked by the caller.
bool ParseButton(std::uint32_t table, const std::wstring& text, std::uint32_t& code);
// The catalogue entry as FormatButton shows it: "Next (0x15)", "Set (0x0100)".
std::wstring FormatCatalogueEntry(std::uint32_t table, const wchar_t* name, std::uint16_t code);

// 0x and at least `digits` upper-case hexadecimal digits: every hexadecimal
// number the user sees or a file holds is written by this one.
std::wstring FormatHex(std::uint32_t value, int digits);
std::wstring FormatIrCode(std::uint32_t code);  // 0x0, 0xA, 0xABC
std::wstring FormatHex8(std::uint8_t value);    // 0x0A
std::wstring FormatHex16(std::uint16_t value);  // 0x0040

// Exactly one character, U+2714 or the digit 1.
bool IsChecked(const std::wstring& text);

// RA/RB cell texts of a resistors value, and the codes of those texts.
std::wstring ResistorAName(std::uint16_t resistors);
std::wstring ResistorBName(std::uint16_t resistors);
bool ResistorACode(const std::wstring& name, std::uint16_t& code);
bool ResistorBCode(const std::wstring& name, std::uint16_t& code);
