#pragma once
// Numbers on korvelctl's command line, read strictly: unlike the window's
// fields, which take what a number starts with, an argument is a number as a
// whole or not at all.

#include <cstdint>
#include <optional>
#include <string_view>

// Decimal, hexadecimal after 0x or 0X, or octal after a leading 0; nothing for
// any other text (a sign, a blank, a letter after the digits, a digit the base
// has not, a bare 0x) and for a value that needs more than 64 bits.
std::optional<std::uint64_t> ReadStrictNumber(std::wstring_view text);
