// The window program's entry point.
#include <cstdio>

#include "app/win32/program.h"
#include "device/text.h"
#include "device/trace.h"

namespace {

// The port-open line goes to standard output, the sync trace to the debugger.
void RouteTrace(TraceChannel channel, const std::wstring& text) {
    if (channel == TraceChannel::Debugger) {
        OutputDebugStringW(text.c_str());
        return;
    }
    std::fputs(ToUtf8(text).c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    SetTraceHandler(RouteTrace);
    static Program program;
    g_program = &program;
    if (!RegisterMainClass(program, instance)) return 0;
    HWND window = CreateMainWindow(program);
    if (!window) return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    return RunMessageLoop();
}
