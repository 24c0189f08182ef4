// Prints the texts of the child windows of the first visible top-level window titled TITLE, one per line in UTF-8,
// once one of them starts with PREFIX (texts set while the window is created can come late); waits up to 30 s for
// the window and the text. Exit status 1 when no such window or text appeared.
//   window_texts.exe TITLE [PREFIX]
// Built by scripts/test-release with the Windows toolchain; run under Wine.
#include <windows.h>

#include <algorithm>
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

// A text of at most 511 units takes at most three bytes a unit.
void PrintUtf8(const std::wstring& text) {
    char bytes[1536];
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes, 1536, nullptr, nullptr);
    std::printf("%.*s\n", size, bytes);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: window_texts.exe TITLE [PREFIX]\n", stderr);
        return 2;
    }
    const std::wstring prefix = argc > 2 ? argv[2] : L"";
    std::vector<std::wstring> texts;
    auto shown = [&] {
        return std::ranges::any_of(texts, [&](const std::wstring& t) { return t.starts_with(prefix); });
    };
    for (int tick = 0; tick < 300 && !shown(); ++tick, Sleep(100))
        if (HWND window = FindWindowW(nullptr, argv[1]); window && IsWindowVisible(window)) texts = ChildTexts(window);
    for (const auto& line : texts) PrintUtf8(line);
    if (shown()) return 0;
    std::fputs("no window with that title and text\n", stderr);
    return 1;
}
