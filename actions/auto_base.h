#pragma once
// Numbers typed by the user: the C library's unsigned-long conversion with base
// 0, with Windows' 32-bit unsigned long on every platform.

#include <cstdint>
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
