#pragma once
// Port list, connect and disconnect, and the 5 Hz live poll.

#include "app/app_state.h"

void RefreshPortList(App& app);
void ToggleConnection(App& app);
void Disconnect(App& app);
void PollPressedButtons(App& app);  // failures are thrown to the caller
// Enables or disables the device controls; disabling stops the poll timer,
// blanks the displays and shows "Disconnected.".
void EnableDeviceControls(App& app, bool enable);
