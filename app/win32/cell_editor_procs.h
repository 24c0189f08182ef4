#pragma once
// Subclass procedures of the list view and its two cell editors. Their
// reference data is the App.

#include <windows.h>

#include <commctrl.h>

class Win32View;

LRESULT CALLBACK IrEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
LRESULT CALLBACK ComboEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
LRESULT CALLBACK ActionListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

// Whether the pointer is on the open combo editor, its edit field or its
// drop-down list. False also when the editor's parts cannot be had.
bool PointerOnComboEditor(const Win32View& view);
