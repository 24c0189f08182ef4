// The Windows console takes UTF-16 through WriteConsoleW whatever its code
// page, so the ohm sign and the check mark show as characters. Redirected to a
// file or a pipe the same text goes out as UTF-8, like on Linux.
#include "cli/console.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "device/text.h"

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
    HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::FILE* stream = toError ? stderr : stdout;
    const std::string bytes = ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}
