#pragma once
// What the main window does for each event, each inside the safety net. The
// Win32 program turns its messages into these calls.

#include "app/app_state.h"

// The user's commands: buttons, the check box, a confirmed choice in either
// default-resistance combo box, and the File menu's Save and Open.
enum class UiEvent {
    Refresh,
    Connect,
    SaveToDevice,
    LoadFromDevice,
    Reset,
    SendIr,
    SetIrPeriod,
    ToggleFullRepeat,
    ResistanceChosen,
    SetMaxBrightness,
    FileSave,
    FileOpen,
};

// The portable part of creating the window once its controls exist: resistor
// combos, tabs, columns, disabled device controls, "Korvel GUI ready.", port list.
void InitialiseMainControls(App& app);

void HandleEvent(App& app, UiEvent event);
// A tick of the poll timer: polls while connected.
void HandleTimer(App& app);
void HandleTabChange(App& app);
void HandleListDoubleClick(App& app, int row, int column);
// A mouse press on the window's background.
void HandleBackgroundPress(App& app, bool pointerOnComboEditor);
