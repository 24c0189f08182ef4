#pragma once
// The port list, connecting and disconnecting, and the live poll.

#include <vector>

#include "app/app_state.h"

void RefreshPortList(App& app);
// A refresh with the ports already listed: the combo box gets their names, the
// first is selected, and the count is shown. Also for ports discovery cannot
// see, such as a pseudo-terminal.
void ShowPortList(App& app, std::vector<PortInfo> ports);
void ToggleConnection(App& app);
void Disconnect(App& app);
// Both poll exchanges, then the five live displays; a failed exchange is
// reported as the safety net reports it and writes no display.
void PollPressedButtons(App& app);
// Enables or disables the device controls; disabling stops the poll timer,
// blanks the displays and shows "Disconnected.".
void EnableDeviceControls(App& app, bool enable);
