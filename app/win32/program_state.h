#pragma once
// The process-wide objects of the window program. wWinMain owns one Program
// for the whole run; a test owns one per window.

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
inline Program* g_program = nullptr;
