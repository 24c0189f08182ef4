// The window program's entry point.
#include "app/win32/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    static Program program;
    g_program = &program;
    if (!RegisterMainClass(program, instance)) return 0;
    HWND window = CreateMainWindow(program);
    if (!window) return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    return RunMessageLoop();
}
