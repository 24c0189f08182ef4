#pragma once
// The controls of the Device, Dimmer, IR Remote and Resistance Remote groups:
// the settings read into them, and the handlers behind their buttons.

#include "app/app_state.h"

// Each reads one setting into the held configuration and its control; while
// disconnected nothing is sent and nothing shown.
void SyncMaxBrightnessField(App& app);
void SyncFullRepeatCheckbox(App& app);
void SyncIrRepeatPeriodField(App& app);
void SyncDefaultResistance(App& app);
// The four syncs, then the table on show.
void SyncAllFromModule(App& app);

void OnSaveToDevice(App& app);
void OnLoadFromDevice(App& app);
void OnReset(App& app);
void OnSendIr(App& app);
void OnIrPeriodSet(App& app);
// The box does not toggle itself; it takes its new state before the module
// answers and keeps it whatever the answer, until the next sync.
void ToggleIrFullRepeat(App& app);
// Both combo boxes are sent together, whichever of them the user changed.
void OnResistanceChosen(App& app);
void OnMaxBrightnessSet(App& app);
