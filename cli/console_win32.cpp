// The Windows console takes UTF-16 through WriteConsoleW whatever its code
// page, so the ohm sign and the check mark show as characters. Redirected to a
// file or a pipe the same text goes out as UTF-8, like on Linux.
#include "cli/console.h"

#include <windows.h>
#include <shellapi.h>

#include "device/text.h"

namespace {

std::atomic<bool>* interruptFlag = nullptr;
std::wstring (*interruptWords)() = nullptr;

// Runs on a thread of its own that the console starts. The first Ctrl+C or
// Ctrl+Break raises the flag; the next one says the last words and ends the program.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (!interruptFlag->exchange(true)) return TRUE;
    WriteToConsole(true, interruptWords());
    ExitProcess(130);
}

void WriteText(HANDLE handle, const std::wstring& text) {
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = ToUtf8(text);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

std::vector<std::wstring> CommandLineArguments(int, char**) {
    // argv holds the ANSI code page's rendering, which has no ohm sign.
    std::vector<std::wstring> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.emplace_back(wide[i]);
    LocalFree(wide);
    return args;
}

void WriteToConsole(bool toError, const std::wstring& text) {
    const HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (handle && handle != INVALID_HANDLE_VALUE) WriteText(handle, text);
}

void CatchInterrupt(std::atomic<bool>& flag, std::wstring (*lastWords)()) {
    interruptFlag = &flag;
    interruptWords = lastWords;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
