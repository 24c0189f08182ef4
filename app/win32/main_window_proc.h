#pragma once
// The main window's procedure: one small handler per message, the whole
// dispatch inside the safety net.

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
