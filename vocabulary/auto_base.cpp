#include "vocabulary/auto_base.h"

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'z') return c - L'a' + 10;
    if (c >= L'A' && c <= L'Z') return c - L'A' + 10;
    return 99;
}

}  // namespace

AutoBaseNumber ParseAutoBase(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && text[i] == L'0') {
        // "0x" counts as hexadecimal only when a hex digit follows; otherwise
        // the 0 alone is the number and the x is where it stops.
        if (i + 2 < text.size() && (text[i + 1] == L'x' || text[i + 1] == L'X') && DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    std::size_t start = i;
    std::uint64_t value = 0;
    bool overflow = false;
    while (i < text.size() && static_cast<unsigned>(DigitValue(text[i])) < base) {
        value = value * base + static_cast<unsigned>(DigitValue(text[i]));
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
        ++i;
    }
    AutoBaseNumber result;
    if (i == start) return result;  // no digits: nothing consumed
    result.valid = true;
    result.consumed = i;
    auto v = static_cast<std::uint32_t>(value);
    result.value = overflow ? 0xFFFFFFFFu : (negative ? static_cast<std::uint32_t>(0u - v) : v);
    return result;
}

std::optional<std::uint32_t> ParseWholeNumber(std::wstring_view text) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        const auto digit = static_cast<unsigned>(DigitValue(c));
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}
