#pragma once
// The texts of one list-view row, column by column.

#include <cstdint>
#include <string>

#include "actions/records.h"

// Columns of the actions list view.
constexpr int kButtonColumn = 1;
constexpr int kIrColumn = 2;
constexpr int kRepeatColumn = 3;
constexpr int kFirstLineColumn = 4;  // L1 .. L4, H1 .. H4 in columns 4 to 11
constexpr int kToggleColumn = 12;
constexpr int kInvertColumn = 13;
constexpr int kStoreColumn = 14;
constexpr int kRaColumn = 15;
constexpr int kRbColumn = 16;
constexpr int kColumnCount = 17;

// The text of column 1 to 16 for a record of `table`.
std::wstring ActionCellText(std::uint32_t table, const ActionFields& fields, int column);
