#pragma once
// Routing of the main window's messages that do not need a window handle,
// each run inside the safety net.

#include <functional>

#include "app/app_state.h"

// Runs a handler; a ProtocolError, SerialError (after Disconnect), other
// runtime error or anything else ends as a status text.
void RunGuarded(App& app, const std::function<void()>& handler);

// The portable part of WM_CREATE after the controls exist: resistor combos,
// tabs, columns, disabled device controls, "Korvel GUI ready.", port list.
void InitialiseMainControls(App& app);

// WM_COMMAND ids handled without a window handle (all but About and Exit);
// `code` is the notification code. Runs inside the safety net.
void HandleCommand(App& app, int id, int code);
// WM_TIMER: polls when the id is the poll timer's and the link is connected.
void HandleTimer(App& app, unsigned id);
// TCN_SELCHANGE of the tab control and NM_DBLCLK of the list view.
void HandleTabChange(App& app);
void HandleListDoubleClick(App& app, int row, int column);
// A mouse press on the window's background.
void HandleBackgroundPress(App& app, bool pointerOnComboEditor);
