#pragma once
// The list view's subclass procedure, whose reference data is the App, and
// where the pointer is relative to the open combo editor.

#include <windows.h>

#include <commctrl.h>

class Win32View;

LRESULT CALLBACK ActionListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

// Whether the pointer is on the open combo editor, its edit field or its
// drop-down list. False also when the editor's parts cannot be had.
bool PointerOnComboEditor(const Win32View& view);
