#include "cli/config_text.h"

#include <algorithm>
#include <array>

#include "config/config_json.h"
#include "device/text.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"
#include "vocabulary/row_text.h"

namespace {

struct SettingText {
    const wchar_t* caption;  // the window's label of the control that shows it
    std::wstring value;
};

std::array<SettingText, 5> SettingTexts(const ModuleSettings& s) {
    return {{
        {L"Max brightness (0-100):", std::to_wstring(s.maxBrightness)},
        {L"IR Period (ms):", std::to_wstring(s.irRepeatPeriod)},
        {L"Full Repeat:", s.irFullRepeat != 0 ? L"on" : L"off"},
        {L"RA default:", ResistorNameOrCode(ResistorOutput::Ra, s.defaultResistors)},
        {L"RB default:", ResistorNameOrCode(ResistorOutput::Rb, s.defaultResistors)},
    }};
}

std::vector<ActionFields> TableFields(const ModuleConfig& config, std::uint32_t table) {
    std::vector<ActionFields> fields;
    WithTable(config, table, [&](const auto& rows) {
        for (const auto& record : rows) fields.push_back(FieldsOf(record));
    });
    return fields;
}

// A cell as korvelctl prints it: the window's text, but the button as
// ButtonText names it, and a word where the window shows no resistor.
std::wstring CellText(std::uint32_t table, const ActionFields& fields, int column) {
    if (column == kButtonColumn) return ButtonText(table, fields.button);
    if (column == kRaColumn || column == kRbColumn)
        return ResistorNameOrCode(column == kRaColumn ? ResistorOutput::Ra : ResistorOutput::Rb, fields.resistors);
    return ActionCellText(table, fields, column);
}

std::vector<std::wstring> ListRow(std::uint32_t table, std::size_t row, const ActionFields& fields) {
    std::vector<std::wstring> cells{std::to_wstring(row)};
    for (int column = kButtonColumn; column < kColumnCount; ++column) cells.push_back(CellText(table, fields, column));
    return cells;
}

std::vector<std::wstring> ColumnTitles() {
    std::vector<std::wstring> titles;
    for (const wchar_t* title : kColumnTitles) titles.push_back(title);
    return titles;
}

// The cells with a marker column in front.
std::vector<std::wstring> Marked(const wchar_t* marker, std::vector<std::wstring> cells) {
    cells.insert(cells.begin(), marker);
    return cells;
}

void Append(std::vector<std::wstring>& lines, const std::vector<std::wstring>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// The full repeat counts as on or off, as the window shows it.
bool SameSetting(const ModuleSettings& a, const ModuleSettings& b, Setting setting) {
    if (setting == Setting::IrFullRepeat) return (a.irFullRepeat != 0) == (b.irFullRepeat != 0);
    return SettingValue(a, setting) == SettingValue(b, setting);
}

JsonValue JsonSide(std::uint32_t table, const std::optional<ActionFields>& fields) {
    return fields ? RowJson(table, *fields) : JsonValue{};
}

}  // namespace

std::vector<std::wstring> AlignColumns(const Cells& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size());
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::vector<std::wstring> lines;
    for (const auto& row : rows) {
        std::wstring line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += L"  ";
            line += row[c];
            line.append(widths[c] - row[c].size(), L' ');
        }
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

std::wstring ButtonText(std::uint32_t table, std::uint16_t code) {
    for (const CodeName& entry : ButtonCatalogue(table)) {
        if (entry.code != code) continue;
        std::wstring name = entry.name;
        name.erase(0, std::min(name.find_first_not_of(L' '), name.size()));
        name.erase(std::min(name.find_last_not_of(L' ') + 1, name.size()));
        if (!name.empty()) return FormatCatalogueEntry(table, name.c_str(), code);
    }
    return table == Acc ? FormatHex16(code) : FormatHex8(static_cast<std::uint8_t>(code));
}

std::vector<std::wstring> SettingLines(const ModuleSettings& settings) {
    std::vector<std::wstring> lines;
    for (const SettingText& s : SettingTexts(settings)) lines.push_back(s.caption + (L" " + s.value));
    return lines;
}

std::vector<std::wstring> ConfigLines(const ModuleConfig& config) {
    std::vector<std::wstring> lines = SettingLines(config.settings);
    for (const TableInfo& info : kTables) {
        Cells cells{ColumnTitles()};
        const auto fields = TableFields(config, info.id);
        for (std::size_t row = 0; row < fields.size(); ++row) cells.push_back(ListRow(info.id, row, fields[row]));
        Append(lines, {L"", info.title});
        Append(lines, AlignColumns(cells));
    }
    return lines;
}

std::vector<std::wstring> InfoLines(const ModuleConfig& config) {
    std::vector<std::wstring> lines = SettingLines(config.settings);
    ForEachTable(config, [&](const TableInfo& info, const auto& rows) {
        lines.push_back(info.title + (L" rows: " + std::to_wstring(rows.size())));
    });
    return lines;
}

std::wstring InfoLine(const ModuleConfig& config) {
    std::wstring line;
    for (const SettingText& s : SettingTexts(config.settings))
        line += s.caption + (L" " + s.value) + L"; ";
    ForEachTable(config, [&](const TableInfo& info, const auto& rows) {
        line += info.title + (L" rows: " + std::to_wstring(rows.size())) + (info.id == Acc ? L"" : L"; ");
    });
    return line;
}

ConfigDiff DiffConfigs(const ModuleConfig& a, const ModuleConfig& b) {
    ConfigDiff diff;
    const auto settingsA = SettingTexts(a.settings);
    const auto settingsB = SettingTexts(b.settings);
    for (std::size_t i = 0; i < settingsA.size(); ++i)
        if (settingsA[i].value != settingsB[i].value)
            diff.settings.push_back({settingsA[i].caption, settingsA[i].value, settingsB[i].value});
    for (const TableInfo& info : kTables) {
        const auto rowsA = TableFields(a, info.id), rowsB = TableFields(b, info.id);
        for (std::size_t i = 0; i < std::max(rowsA.size(), rowsB.size()); ++i) {
            const bool inA = i < rowsA.size(), inB = i < rowsB.size();
            if (inA && inB && rowsA[i] == rowsB[i]) continue;
            RowDifference d{info.id, i, std::nullopt, std::nullopt};
            if (inA) d.a = rowsA[i];
            if (inB) d.b = rowsB[i];
            diff.rows.push_back(d);
        }
    }
    return diff;
}

std::size_t ChangedSettings(const ModuleSettings& a, const ModuleSettings& b) {
    return std::ranges::count_if(kSettings, [&](Setting setting) { return !SameSetting(a, b, setting); });
}

ConfigDiff FirstDifference(const ConfigDiff& diff) {
    ConfigDiff first;
    if (!diff.settings.empty()) first.settings.push_back(diff.settings.front());
    else if (!diff.rows.empty()) first.rows.push_back(diff.rows.front());
    return first;
}

std::vector<std::wstring> DiffLines(const ConfigDiff& diff) {
    std::vector<std::wstring> lines;
    for (const auto& s : diff.settings) lines.push_back(s.caption + L" " + s.a + L" -> " + s.b);
    for (const TableInfo& info : kTables) {
        Cells cells{Marked(L"", ColumnTitles())};
        for (const RowDifference& d : diff.rows) {
            if (d.table != info.id) continue;
            if (d.a) cells.push_back(Marked(L"-", ListRow(info.id, d.row, *d.a)));
            if (d.b) cells.push_back(Marked(L"+", ListRow(info.id, d.row, *d.b)));
        }
        if (cells.size() == 1) continue;
        lines.push_back(info.title);
        Append(lines, AlignColumns(cells));
    }
    return lines;
}

JsonValue JsonInfo(const ModuleConfig& config) {
    JsonValue counts = JsonObject({});
    ForEachTable(config, [&](const TableInfo& info, const auto& rows) {
        counts.members.emplace_back(info.key, JsonNumber(rows.size()));
    });
    return JsonObject({{"settings", SettingsJson(config.settings)}, {"rows", std::move(counts)}});
}

JsonValue JsonDiff(const ModuleConfig& a, const ModuleConfig& b) {
    JsonValue settings = JsonArray({});
    for (Setting setting : kJsonSettings) {
        if (SameSetting(a.settings, b.settings, setting)) continue;
        auto [name, valueA] = SettingJson(a.settings, setting);
        settings.items.push_back(JsonObject(
            {{"name", JsonString(name)}, {"a", std::move(valueA)}, {"b", SettingJson(b.settings, setting).second}}));
    }
    JsonValue rows = JsonArray({});
    for (const RowDifference& d : DiffConfigs(a, b).rows)
        rows.items.push_back(JsonObject({{"table", JsonString(kTables[d.table].key)},
                                         {"row", JsonNumber(d.row)},
                                         {"a", JsonSide(d.table, d.a)},
                                         {"b", JsonSide(d.table, d.b)}}));
    return JsonObject({{"settings", std::move(settings)}, {"rows", std::move(rows)}});
}

std::wstring JsonLine(const JsonValue& value) { return WidenText(WriteJsonLine(value)) + L"\n"; }

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\n";
    return text;
}
