#pragma once
// The steps of the window program's start: its class, its window, its
// message loop.

#include <windows.h>

#include "app/win32/program_state.h"

// Loads the title and class name and registers the class (an already
// registered class counts as success). Initialises the common controls first.
bool RegisterMainClass(Program& program, HINSTANCE instance);
// Creates the main window (880 x 750); null when that fails.
HWND CreateMainWindow(Program& program);
// Runs the message loop with accelerator table 109 until WM_QUIT; its wParam.
int RunMessageLoop();
