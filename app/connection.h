#pragma once
// Port list, connect and disconnect, and the 5 Hz live poll.

#include "app/app_state.h"

void RefreshPortList(App& app);
// A refresh with the ports already listed: the combo box gets their names, the
// first is selected, and the count is shown. Also for ports discovery cannot
// see, such as a pseudo-terminal.
void ShowPortList(App& app, std::vector<PortInfo> ports);
// The status text when the selected port does not open.
inline constexpr wchar_t kConnectionFailedText[] = L"Connection failed.";
void ToggleConnection(App& app);
void Disconnect(App& app);
void PollPressedButtons(App& app);  // failures are thrown to the caller
// Enables or disables the device controls; disabling stops the poll timer,
// blanks the displays and shows "Disconnected.".
void EnableDeviceControls(App& app, bool enable);
