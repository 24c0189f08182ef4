#pragma once
// What differs between two configurations, setting by setting and row by row.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/session.h"
#include "config/cfg_codec.h"

// A setting as the window shows it: the caption and the two values' texts.
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
    bool empty() const { return settings.empty() && rows.empty(); }
};

// Settings in the window's order, then the tables in tab order, rows upwards.
ConfigDiff DiffConfigs(const ConfigData& a, const ConfigData& b);
// Only the first difference of the whole list.
ConfigDiff FirstDifference(const ConfigDiff& diff);

// "Caption a -> b" per setting; per table with changes its title, the column
// titles, then "-" for the row in a and "+" for the row in b.
std::vector<std::wstring> DiffLines(Session& session, const ConfigData& a, const ConfigData& b, const ConfigDiff& diff);

// {"settings": [{"name", "a", "b"}], "rows": [{"table", "row", "a", "b"}]},
// the settings by field name with numbers, a missing row as null.
std::wstring JsonDiff(const ConfigData& a, const ConfigData& b);
