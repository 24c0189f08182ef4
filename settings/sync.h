#pragma once
// Reading the four settings from the module into the held values and controls.

#include "app/app_state.h"

void SyncMaxBrightnessField(App& app);
void SyncFullRepeatCheckbox(App& app);
void SyncIrRepeatPeriodField(App& app);
void SyncDefaultResistance(App& app);
// The four syncs, then the selected table.
void SyncAllFromModule(App& app);
