#pragma once
// Reading action tables from the module into the held configuration.

#include <cstdint>

#include "device/module.h"
#include "device/outcome.h"

inline constexpr OperationId kLoadTable{}, kReloadAllTables{};

// The table numbered `table` replaces the held one (outcome kLoadTable, with
// the table). A failed read keeps the held table as it was; a number outside
// 0 to 3 reads nothing (InvalidInput).
Outcome LoadTable(Module& module, std::uint32_t table);

// Media, Gears, Horn and ACC in turn (outcome kReloadAllTables), each
// replacing the held one as soon as it is in, so a failure half-way keeps
// those read.
Outcome ReloadAllTables(Module& module);
