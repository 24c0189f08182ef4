#include "vocabulary/resistor_names.h"

#include "vocabulary/cell_text.h"

namespace {

constexpr std::wstring_view kNone = L"none";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsPrefix(wchar_t c) { return c == L'k' || c == L'K'; }

// Reads the digits at the front of `text` into `value`, scaled by ten per
// digit; how many it read.
std::size_t Digits(std::wstring_view& text, std::uint64_t& value, int& decimals, bool fraction) {
    std::size_t read = 0;
    while (read < text.size() && IsDigit(text[read]) && read < 9) {
        value = value * 10 + static_cast<unsigned>(text[read] - L'0');
        if (fraction) ++decimals;
        ++read;
    }
    text.remove_prefix(read);
    return read;
}

// A resistance in milliohms: a number ("3.9", "22"), then the prefix "k" (or
// the number's digits around it: "3k9"), then the unit, each with or without a
// space before it; nothing for anything else.
std::optional<std::uint64_t> Milliohms(std::wstring_view text) {
    std::uint64_t value = 0;
    int decimals = 0;
    if (Digits(text, value, decimals, false) == 0) return std::nullopt;
    bool kilo = false;
    if (text.starts_with(L'.')) {
        text.remove_prefix(1);
        if (Digits(text, value, decimals, true) == 0) return std::nullopt;
    } else if (!text.empty() && IsPrefix(text[0]) && text.size() > 1 && IsDigit(text[1])) {
        text.remove_prefix(1);  // "3k9": the prefix stands for the decimal point
        kilo = true;
        Digits(text, value, decimals, true);
    }
    if (text.starts_with(L' ')) text.remove_prefix(1);
    if (!kilo && !text.empty() && IsPrefix(text[0])) {
        kilo = true;
        text.remove_prefix(1);
    }
    const bool unit = text.empty() || text == L"\u2126" || text == L"\u03A9" || text == L"Ohm" || text == L"ohm";
    if (!unit) return std::nullopt;
    std::uint64_t milliohms = value * (kilo ? 1000000 : 1000);
    for (; decimals > 0; --decimals) milliohms /= 10;
    return milliohms;
}

}  // namespace

std::optional<std::uint16_t> ReadResistorName(ResistorOutput output, std::wstring_view text) {
    if (text.empty() || text == kNone) return std::uint16_t{0};
    const auto value = Milliohms(text);
    for (const CodeName& entry : ResistorCatalogue(output))
        if (*entry.name && (text == entry.name || (value && value == Milliohms(entry.name)))) return entry.code;
    return std::nullopt;
}

std::wstring AcceptedResistorNames(ResistorOutput output) {
    std::wstring line(kNone);
    for (const CodeName& entry : ResistorCatalogue(output))
        if (*entry.name) line += std::wstring(L", ") + entry.name;
    return line;
}

std::wstring ResistorNameOrCode(ResistorOutput output, std::uint16_t resistors) {
    const bool ra = output == ResistorOutput::Ra;
    const std::wstring name = ra ? ResistorAName(resistors) : ResistorBName(resistors);
    const auto code = static_cast<std::uint16_t>(resistors & (ra ? 0x7FFF : 0x8000));
    if (!name.empty()) return name;
    return code == 0 ? std::wstring(kNone) : FormatHex16(code);
}
