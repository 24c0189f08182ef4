#pragma once
// Numbers typed by the user: the C library's unsigned-long conversion with base
// 0, with Windows' 32-bit unsigned long on every platform.

#include <cstdint>
#include <optional>
#include <string_view>

struct AutoBaseNumber {
    std::uint32_t value = 0;
    bool valid = false;     // at least one character was consumed
    std::size_t consumed = 0;
};

// Leading white space, an optional sign (minus negates modulo 2^32), then 0x/0X
// hexadecimal, a leading 0 octal, or decimal; stops at the first non-digit;
// 4294967295 on overflow.
AutoBaseNumber ParseAutoBase(std::wstring_view text);

// A text that is one number as a whole, read strictly, as a command line or a
// file must be: decimal digits, leading zeros included (010 is ten: a code or
// a percentage typed with a zero in front is no octal), or 0x and hexadecimal
// digits, from the first character to the last (no blank, no sign, nothing
// after them) and within 32 bits; nothing otherwise. The window's fields keep
// ParseAutoBase.
std::optional<std::uint32_t> ParseWholeNumber(std::wstring_view text);
