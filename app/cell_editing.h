#pragma once
// In-place editing of list-view cells; every commit sends the whole row.

#include "app/app_state.h"

void BeginIrEdit(App& app, int row, int column);
void EndIrEdit(App& app, bool commit);
void BeginComboEdit(App& app, int row, int column);
void EndComboEdit(App& app, bool commit);
void ToggleCell(App& app, int row, int column);
// The double-click routing of the list view (column 1, 15, 16 combo; 2 IR; 3-14 toggle).
void DispatchCellDoubleClick(App& app, int row, int column);
// A mouse press outside the open combo editor commits both editors.
// `pointerOnComboEditor` tells whether the press landed on the combo editor itself.
void CommitOpenEditors(App& app, bool pointerOnComboEditor);

// Reads the row back from the list view, sends it, and rewrites its cells from
// what was sent; true when the module accepted it.
bool setAction(App& app, int row);
