#pragma once
// A configuration as text: the settings under the window's captions, each
// table in the actions list view's columns and cells (the button as
// ButtonText names it, and "none" for no resistor), what differs between two
// configurations, and the JSON forms of --json.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/json.h"
#include "device/module_config.h"
#include "device/records.h"

// A button code with its name, when the table's catalogue has one, without
// the spaces the catalogue puts around it (" Horn "), which would shift a
// column: "Next (0x15)", "Horn (0x01)", "0x2A".
std::wstring ButtonText(std::uint32_t table, std::uint16_t code);

// Max brightness, IR period, full repeat, RA default, RB default: "Caption
// value", no resistor as none. An RA value that is no catalogue entry shows
// as its bits in hexadecimal.
std::vector<std::wstring> SettingLines(const ModuleSettings& settings);

// show: the settings, then each table under its tab title.
std::vector<std::wstring> ConfigLines(const ModuleConfig& config);
// info: the settings, then the row count of each table.
std::vector<std::wstring> InfoLines(const ModuleConfig& config);
// info for one of several ports: the same in one line, "; " between the parts.
std::wstring InfoLine(const ModuleConfig& config);

// A setting whose text differs: its caption and the two texts.
struct SettingDifference {
    std::wstring caption;
    std::wstring a, b;
};

// A row whose bytes differ; a side without the row has no fields.
struct RowDifference {
    std::uint32_t table = 0;
    std::size_t row = 0;
    std::optional<ActionFields> a, b;
};

struct ConfigDiff {
    std::vector<SettingDifference> settings;
    std::vector<RowDifference> rows;
    bool none() const { return settings.empty() && rows.empty(); }
};

// Settings in the order of SettingLines, then the tables in tab order, rows upwards.
ConfigDiff DiffConfigs(const ModuleConfig& a, const ModuleConfig& b);
// How many of the four settings differ, the full repeat as on or off.
std::size_t ChangedSettings(const ModuleSettings& a, const ModuleSettings& b);
// Only the first difference of the whole list.
ConfigDiff FirstDifference(const ConfigDiff& diff);
// "Caption a -> b" per setting; per table with changes its title, the column
// titles, then "-" for the row in a and "+" for the row in b.
std::vector<std::wstring> DiffLines(const ConfigDiff& diff);

// The JSON of --json, in the shapes of the configuration's JSON form
// (config/config_json.h; show --json prints ConfigJson itself):
// info: {"settings": {...}, "rows": {"media": N, ...}}
JsonValue JsonInfo(const ModuleConfig& config);
// diff: {"settings": [{"name", "a", "b"}], "rows": [{"table", "row", "a", "b"}]},
// each setting's value and each row as the form writes it, a missing row as null.
JsonValue JsonDiff(const ModuleConfig& a, const ModuleConfig& b);

// A JSON value as one line of text, with its line end.
std::wstring JsonLine(const JsonValue& value);

// Each line followed by a line end.
std::wstring Joined(const std::vector<std::wstring>& lines);

// Rows of cells as lines: each cell padded to its column's widest cell,
// columns two spaces apart, no blanks at the end of a line. Widths count
// characters (every text is in the Basic Multilingual Plane and one column wide).
using Cells = std::vector<std::vector<std::wstring>>;
std::vector<std::wstring> AlignColumns(const Cells& rows);
