#pragma once
// The four tables of a configuration taken by number, as the window's tabs
// number them.

#include <cstdint>
#include <vector>

#include "actions/records.h"
#include "config/cfg_codec.h"

// The tab titles, and the names of the tables in JSON (the ConfigData fields).
extern const wchar_t* const kTableTitles[kTableCount];
extern const wchar_t* const kTableKeys[kTableCount];

// Every record of the table, widened to its fields.
std::vector<ActionFields> TableFields(const ConfigData& data, std::uint32_t table);
std::size_t TableSize(const ConfigData& data, std::uint32_t table);
