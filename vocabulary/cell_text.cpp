#include "vocabulary/cell_text.h"

#include <cwchar>

#include "vocabulary/auto_base.h"
#include "vocabulary/catalogues.h"

namespace {

template <std::size_t N>
std::wstring NameOf(const CodeName (&catalogue)[N], std::uint16_t code) {
    for (const auto& entry : catalogue)
        if (entry.code == code) return entry.name;
    return {};
}

template <std::size_t N>
bool CodeOf(const CodeName (&catalogue)[N], const std::wstring& name, std::uint16_t& code) {
    for (const auto& entry : catalogue) {
        if (name == entry.name) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

}  // namespace

std::wstring FormatCatalogueEntry(std::uint32_t table, const wchar_t* name, std::uint16_t code) {
    return std::wstring(name) + L" (" + FormatHex(code, table == Acc ? 4 : 2) + L")";
}

std::wstring FormatButton(std::uint32_t table, std::uint16_t code) {
    for (const auto& entry : ButtonCatalogue(table))
        if (entry.code == code) return FormatCatalogueEntry(table, entry.name, code);
    return table == Acc ? FormatHex16(code) : FormatHex8(static_cast<std::uint8_t>(code));
}

bool ParseButton(std::uint32_t table, const std::wstring& text, std::uint32_t& code) {
    for (const auto& entry : ButtonCatalogue(table)) {
        if (text == entry.name || text == FormatCatalogueEntry(table, entry.name, entry.code)) {
            code = entry.code;
            return true;
        }
    }
    auto open = text.rfind(L'(');
    auto close = text.rfind(L')');
    if (open != std::wstring::npos && close != std::wstring::npos && open < close) {
        auto inner = ParseAutoBase(std::wstring_view(text).substr(open + 1, close - open - 1));
        if (inner.valid) {
            code = inner.value;
            return true;
        }
    }
    auto whole = ParseAutoBase(text);
    if (whole.valid) {
        code = whole.value;
        return true;
    }
    return false;
}

std::wstring FormatHex(std::uint32_t value, int digits) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%0*X", digits, value);
    return buf;
}
std::wstring FormatIrCode(std::uint32_t code) { return FormatHex(code, 1); }
std::wstring FormatHex8(std::uint8_t value) { return FormatHex(value, 2); }
std::wstring FormatHex16(std::uint16_t value) { return FormatHex(value, 4); }

bool IsChecked(const std::wstring& text) { return text.size() == 1 && (text[0] == CheckMark[0] || text[0] == L'1'); }

std::wstring ResistorAName(std::uint16_t resistors) { return NameOf(ResistorsA, resistors & 0x7FFF); }
std::wstring ResistorBName(std::uint16_t resistors) { return NameOf(ResistorsB, resistors & 0x8000); }
bool ResistorACode(const std::wstring& name, std::uint16_t& code) { return CodeOf(ResistorsA, name, code); }
bool ResistorBCode(const std::wstring& name, std::uint16_t& code) { return CodeOf(ResistorsB, name, code); }
