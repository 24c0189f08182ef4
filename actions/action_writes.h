#pragma once
// Writing action records to the module: one edited row, or every held row.

#include <cstdint>

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"
#include "device/records.h"

inline constexpr OperationId kWriteActionRow{}, kWriteAllActions{};

// Sends the record built from `fields` as row `row` of table `table` (outcome
// kWriteActionRow) and, whatever the module answers, keeps it in the held table when
// the row exists there. A row the one-byte index cannot address is never sent
// (InvalidInput, Row).
Outcome WriteActionRow(Module& module, std::uint32_t table, int row, const ActionFields& fields);

// Whether every table of `config` fits the one-byte row index: Done, or
// InvalidInput (operation kWriteAllActions, TableTooLong) naming the first
// table that does not.
Outcome CheckTableLengths(const ModuleConfig& config);

// Sends every held record of Media, Gears, Horn and ACC row by row, exactly as
// held (outcome kWriteAllActions). The first refusal stops the run, with the
// table and row it stopped at; so does a failed exchange. A table longer than
// the wire can address is refused before anything is sent (CheckTableLengths).
// The held tables never change.
Outcome WriteAllActions(Module& module);
