#include "app/win32/program.h"

#include <commctrl.h>

#include "app/resource_ids.h"
#include "app/win32/main_window_proc.h"

bool RegisterMainClass(Program& program, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    LoadStringW(instance, IDS_TITLE, program.title, 100);
    LoadStringW(instance, IDS_WINDOW_CLASS, program.windowClass, 100);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_LARGE));
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_SMALL));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = program.windowClass;
    bool registered = RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;

    // Stored before the window exists: every child control is created with it.
    program.instance = instance;
    return registered;
}

HWND CreateMainWindow(Program& program) {
    return CreateWindowExW(0, program.windowClass, program.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 880, 750,
                           nullptr, nullptr, program.instance, nullptr);
}

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsW(g_program->instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(message.hwnd, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
