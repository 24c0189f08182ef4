#pragma once
// The modal About box (dialog 103).

#include <windows.h>

void ShowAboutBox(HINSTANCE instance, HWND owner);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
