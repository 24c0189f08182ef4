#include "cli/config_json.h"

#include <cwchar>

#include "cli/config_tables.h"

std::wstring JsonString(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (c < 0x20) {
            wchar_t escaped[8];
            std::swprintf(escaped, 8, L"\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring JsonFields(const ActionFields& f) {
    return L"{\"button\": " + std::to_wstring(f.button) + L", \"irCode\": " + std::to_wstring(f.irCode) +
           L", \"lines\": " + std::to_wstring(f.lines) + L", \"flags\": " + std::to_wstring(f.flags) +
           L", \"resistors\": " + std::to_wstring(f.resistors) + L"}";
}

std::wstring JsonSettings(const HeldSettings& s) {
    return L"{\"maxBrightness\": " + std::to_wstring(s.g_maxBrightness) + L", \"irFullRepeat\": " +
           (s.g_irFullRepeat ? L"true" : L"false") + L", \"irRepeatPeriod\": " + std::to_wstring(s.g_irRepeatPeriod) +
           L", \"defaultResistors\": " + std::to_wstring(s.g_defaultResistors) + L"}";
}

std::wstring JsonConfig(const ConfigData& data) {
    std::wstring out = L"{\"settings\": " + JsonSettings(data.settings);
    for (std::uint32_t table = 0; table < kTableCount; ++table) {
        out += L", " + JsonString(kTableKeys[table]) + L": [";
        const auto rows = TableFields(data, table);
        for (std::size_t i = 0; i < rows.size(); ++i) out += (i ? L", " : L"") + JsonFields(rows[i]);
        out += L"]";
    }
    return out + L"}";
}
