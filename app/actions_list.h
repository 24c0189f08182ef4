#pragma once
// The 17-column list view of the table on show, and reading tables into it.

#include "app/app_state.h"

void SetupActionColumns(App& app);
// The held table on show, row by row.
void FillActionList(App& app);
// Tab change: editors closed without commit, held rows shown, then read while connected.
void SwitchTable(App& app);
// Reads the table on show from the module and shows it ("Media actions
// loaded."); a failed read keeps the old rows, on screen and held.
void LoadCurrentActions(App& app);
// All four tables, Media to ACC; a failure reports itself.
void ReloadAllActions(App& app);
