#pragma once
// The process-wide objects of the window program and the steps of its start.
// wWinMain owns one Program for the whole run; a test owns one per window.

#include <windows.h>

#include "app/app_state.h"
#include "app/win32/win32_view.h"

struct Program {
    Program() { view.app = &app; }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HINSTANCE instance = nullptr;
    wchar_t title[100] = {};
    wchar_t windowClass[100] = {};
    HFONT uiFont = nullptr;
    Win32View view;
    App app{view};
};

// The Program the window procedure works on; set before the window is created.
extern Program* g_program;

// Loads the title and class name and registers the class (an already
// registered class counts as success). Initialises the common controls first.
bool RegisterMainClass(Program& program, HINSTANCE instance);
// Creates the main window (880 x 750); null when that fails.
HWND CreateMainWindow(Program& program);
// Runs the message loop with accelerator table 109 until WM_QUIT; its wParam.
int RunMessageLoop();
