#include "vocabulary/resistor_names.h"

#include "vocabulary/cell_text.h"

namespace {

constexpr wchar_t kOhmSign = L'\u2126';

// Whether `text` spells the catalogue name `name` ("3.9 kΩ", "22 Ω"): the
// same value and prefix, the space before the unit optional, and one of the
// units people type in place of the ohm sign.
bool Spells(std::wstring_view text, std::wstring_view name) {
    if (text == name) return true;
    const std::size_t space = name.find(L' ');
    if (space == std::wstring_view::npos || name.back() != kOhmSign) return false;
    const std::wstring_view value = name.substr(0, space);
    const std::wstring_view prefix = name.substr(space + 1, name.size() - space - 2);  // "k" or nothing
    if (!text.starts_with(value)) return false;
    text.remove_prefix(value.size());
    if (text.starts_with(L' ')) text.remove_prefix(1);
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return text == std::wstring_view(&kOhmSign, 1) || text == L"\u03A9" || text == L"Ohm" || text == L"ohm";
}

}  // namespace

std::optional<std::uint16_t> ReadResistorName(ResistorOutput output, std::wstring_view text) {
    if (text == L"none") return std::uint16_t{0};
    for (const CodeName& entry : ResistorCatalogue(output))
        if (Spells(text, entry.name)) return entry.code;
    return std::nullopt;
}

std::wstring AcceptedResistorNames(ResistorOutput output) {
    std::wstring line = L"none";
    for (const CodeName& entry : ResistorCatalogue(output))
        if (*entry.name) line += std::wstring(L", ") + entry.name;
    return line;
}

std::wstring ResistorNameOrCode(ResistorOutput output, std::uint16_t resistors) {
    const bool ra = output == ResistorOutput::Ra;
    const std::wstring name = ra ? ResistorAName(resistors) : ResistorBName(resistors);
    const auto code = static_cast<std::uint16_t>(resistors & (ra ? 0x7FFF : 0x8000));
    return name.empty() && code != 0 ? FormatHex16(code) : name;
}
