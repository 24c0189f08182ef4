#pragma once
// One row of the actions list: its 17 columns, the text of each cell for a
// record, and a record read back from the cells as an edit commits it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/outcome.h"
#include "device/records.h"

constexpr int kIndexColumn = 0;
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

extern const wchar_t* const kColumnTitles[kColumnCount];

// The text of column 1 to 16 for a record of `table`.
std::wstring ActionCellText(std::uint32_t table, const ActionFields& fields, int column);

// Every cell of a row as the list view holds it, Index to RB.
using RowCells = std::array<std::wstring, kColumnCount>;

// The record a row's cells describe, read as an edit commits it: IR, Repeat,
// the lines, the options, RA, RB, then the Button of `table` (within 8 bits,
// 16 for ACC). Flags bits 4 to 7 come out clear. Nothing, and the fields
// written, when the row reads; else the first cell that does not (a table
// outside 0 to 3 as Table), and the fields untouched.
std::optional<BadInput> ReadActionRow(std::uint32_t table, const RowCells& cells, ActionFields& fields);
