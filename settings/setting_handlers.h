#pragma once
// The handlers behind the Device, Dimmer, IR Remote and Resistance Remote groups.

#include "actions/auto_base.h"
#include "app/app_state.h"

// The control's text read as a number with automatic base.
AutoBaseNumber ParseNumberField(App& app, int controlId);

void SaveModuleConfig(App& app);
void LoadModuleConfig(App& app);
void ResetModuleConfig(App& app);
void SendIrCode(App& app);
void ApplyIrRepeatPeriod(App& app);
void ToggleIrFullRepeat(App& app);
void ApplyDefaultResistance(App& app);
void ApplyMaxBrightness(App& app);
