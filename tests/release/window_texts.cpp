// Prints what another program's window shows: the texts of the child windows
// of the first visible top-level window with the given title, one per line in
// UTF-8. Waits up to 30 s for the window and then until a child's text starts
// with PREFIX, if given (texts set while the window is created can come late).
// Exit status 1 when no such window or text appeared.
//   window_texts.exe TITLE [PREFIX]
// Built by scripts/test-release with the Windows toolchain; run under Wine.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM out) -> BOOL {
            // WM_GETTEXT is carried across processes; GetWindowText would not ask the control.
            wchar_t text[512] = {};
            DWORD_PTR length = 0;
            SendMessageTimeoutW(child, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                                &length);
            reinterpret_cast<std::vector<std::wstring>*>(out)->emplace_back(text, length);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void PrintUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    std::printf("%s\n", bytes.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: window_texts.exe TITLE [PREFIX]\n", stderr);
        return 2;
    }
    const std::wstring prefix = argc > 2 ? argv[2] : L"";
    std::vector<std::wstring> texts;
    for (int tick = 0; tick < 300; ++tick, Sleep(100)) {
        HWND window = FindWindowW(nullptr, argv[1]);
        if (!window || !IsWindowVisible(window)) continue;
        texts = ChildTexts(window);
        for (const auto& text : texts) {
            if (text.starts_with(prefix)) {
                for (const auto& line : texts) PrintUtf8(line);
                return 0;
            }
        }
    }
    for (const auto& line : texts) PrintUtf8(line);
    std::fputs("no window with that title and text\n", stderr);
    return 1;
}
