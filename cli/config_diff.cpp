#include "cli/config_diff.h"

#include <algorithm>

#include "cli/config_json.h"
#include "cli/config_tables.h"
#include "cli/config_text.h"
#include "cli/text_columns.h"

namespace {

template <class R>
void diffTable(std::uint32_t table, const std::vector<R>& a, const std::vector<R>& b, std::vector<RowDifference>& out) {
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const bool inA = i < a.size(), inB = i < b.size();
        if (inA && inB && a[i] == b[i]) continue;
        RowDifference d{table, i, std::nullopt, std::nullopt};
        if (inA) d.a = FieldsOf(a[i]);
        if (inB) d.b = FieldsOf(b[i]);
        out.push_back(d);
    }
}

// The table's rows that differ, with a marker column in front.
std::vector<std::wstring> tableLines(Session& session, const ConfigData& a, const ConfigData& b, std::uint32_t table,
                                     const std::vector<RowDifference>& rows) {
    const TableText textA = ListTable(session, a, table);
    const TableText textB = ListTable(session, b, table);
    std::vector<std::vector<std::wstring>> cells;
    cells.push_back(textA.titles);
    cells.back().insert(cells.back().begin(), L"");
    for (const auto& d : rows) {
        if (d.table != table) continue;
        if (d.a) {
            cells.push_back(textA.rows[d.row]);
            cells.back().insert(cells.back().begin(), L"-");
        }
        if (d.b) {
            cells.push_back(textB.rows[d.row]);
            cells.back().insert(cells.back().begin(), L"+");
        }
    }
    return AlignColumns(cells);
}

std::wstring jsonSetting(const wchar_t* name, const std::wstring& a, const std::wstring& b) {
    return L"{\"name\": " + JsonString(name) + L", \"a\": " + a + L", \"b\": " + b + L"}";
}

std::wstring jsonBool(bool value) { return value ? L"true" : L"false"; }

std::wstring jsonSide(const std::optional<ActionFields>& fields) { return fields ? JsonFields(*fields) : L"null"; }

}  // namespace

ConfigDiff DiffConfigs(const ConfigData& a, const ConfigData& b) {
    ConfigDiff diff;
    const auto settingsA = SettingTexts(a.settings);
    const auto settingsB = SettingTexts(b.settings);
    for (std::size_t i = 0; i < settingsA.size(); ++i)
        if (settingsA[i].value != settingsB[i].value)
            diff.settings.push_back({settingsA[i].caption, settingsA[i].value, settingsB[i].value});
    diffTable(Media, a.media, b.media, diff.rows);
    diffTable(Gears, a.gears, b.gears, diff.rows);
    diffTable(Horn, a.horn, b.horn, diff.rows);
    diffTable(Acc, a.acc, b.acc, diff.rows);
    return diff;
}

ConfigDiff FirstDifference(const ConfigDiff& diff) {
    ConfigDiff first;
    if (!diff.settings.empty()) first.settings.push_back(diff.settings.front());
    else if (!diff.rows.empty()) first.rows.push_back(diff.rows.front());
    return first;
}

std::vector<std::wstring> DiffLines(Session& session, const ConfigData& a, const ConfigData& b, const ConfigDiff& diff) {
    std::vector<std::wstring> lines;
    // An empty value (no resistor) shows as the empty name in quotes.
    auto shown = [](const std::wstring& value) { return value.empty() ? std::wstring(L"\"\"") : value; };
    for (const auto& s : diff.settings) lines.push_back(s.caption + L" " + shown(s.a) + L" -> " + shown(s.b));
    for (std::uint32_t table = 0; table < kTableCount; ++table) {
        const bool changed = std::any_of(diff.rows.begin(), diff.rows.end(),
                                         [&](const RowDifference& d) { return d.table == table; });
        if (!changed) continue;
        lines.push_back(kTableTitles[table]);
        for (auto& line : tableLines(session, a, b, table, diff.rows)) lines.push_back(std::move(line));
    }
    return lines;
}

std::wstring JsonDiff(const ConfigData& a, const ConfigData& b) {
    const HeldSettings& sa = a.settings;
    const HeldSettings& sb = b.settings;
    std::vector<std::wstring> settings;
    if (sa.g_maxBrightness != sb.g_maxBrightness)
        settings.push_back(jsonSetting(L"maxBrightness", std::to_wstring(sa.g_maxBrightness),
                                       std::to_wstring(sb.g_maxBrightness)));
    if (sa.g_irFullRepeat != sb.g_irFullRepeat)
        settings.push_back(jsonSetting(L"irFullRepeat", jsonBool(sa.g_irFullRepeat), jsonBool(sb.g_irFullRepeat)));
    if (sa.g_irRepeatPeriod != sb.g_irRepeatPeriod)
        settings.push_back(jsonSetting(L"irRepeatPeriod", std::to_wstring(sa.g_irRepeatPeriod),
                                       std::to_wstring(sb.g_irRepeatPeriod)));
    if (sa.g_defaultResistors != sb.g_defaultResistors)
        settings.push_back(jsonSetting(L"defaultResistors", std::to_wstring(sa.g_defaultResistors),
                                       std::to_wstring(sb.g_defaultResistors)));

    std::wstring out = L"{\"settings\": [";
    for (std::size_t i = 0; i < settings.size(); ++i) out += (i ? L", " : L"") + settings[i];
    out += L"], \"rows\": [";
    const auto rows = DiffConfigs(a, b).rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& d = rows[i];
        out += (i ? L", " : L"") + std::wstring(L"{\"table\": ") + JsonString(kTableKeys[d.table]) +
               L", \"row\": " + std::to_wstring(d.row) + L", \"a\": " + jsonSide(d.a) + L", \"b\": " + jsonSide(d.b) +
               L"}";
    }
    return out + L"]}";
}
