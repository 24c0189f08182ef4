#pragma once
// The 17-column list view of the table on show, and reading tables from the module.

#include "app/app_state.h"

void SetupActionColumns(App& app);
void FillActionList(App& app);
void AddActionRow(App& app, int row, const ActionFields& fields);
// Tab change: editors closed without commit, held rows shown, then read while connected.
void SwitchTable(App& app);
// "Media actions loaded." ... ; "Get actions failed (exception)." keeps the old rows.
void LoadCurrentActions(App& app);
// Media, Gears, Horn, ACC in turn; true when all four were read.
bool ReloadAllActions(App& app);
