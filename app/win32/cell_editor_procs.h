#pragma once
// Subclass procedures of the two cell editors. Their reference data is the App.

#include <windows.h>

#include <commctrl.h>

LRESULT CALLBACK IrEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
LRESULT CALLBACK ComboEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
