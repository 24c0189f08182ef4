// The built program itself, started as a process of its own: it lists the
// module's port, connects through its window at the module's real pace, and
// leaves from File > "E&xit" with 0, sending nothing but the live poll.
#include "window_driver.h"

#include <chrono>

namespace {

// build-win/tests/win32/korvel_win32_tests.exe -> build-win/app/korvel-configurator.exe
std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    for (int up = 0; up < 3; ++up) path.resize(path.rfind(L'\\'));
    return path + L"\\app\\korvel-configurator.exe";
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace

TEST(Program, ConnectsAndLeavesWithZero) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring path = ProgramPath();
    ASSERT_TRUE(CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << testing::PrintToString(path);
    HWND window = nullptr;
    auto text = [&](int id) { return WindowText(GetDlgItem(window, id)); };
    bool found = WaitFor([&] { return (window = FindWindowW(L"KorvelGUI", L"Korvel Configurator")) != nullptr; },
                         15000);
    if (found) {
        EXPECT_TRUE(WaitFor([&] { return text(IDC_STATUS) == L"Found 1 COM port(s)."; }, 5000)) << text(IDC_STATUS);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(window, IDC_CONNECT), BM_CLICK, 0, 0, SMTO_NORMAL, 15000, &ignored);
        EXPECT_TRUE(WaitFor([&] { return text(IDC_STATUS) == L"Connected. Live polling at 5 Hz."; }, 10000))
            << text(IDC_STATUS);
        EXPECT_TRUE(WaitFor([&] { return text(IDC_PRESSED_MEDIA) != L"-"; }, 2000));
        EXPECT_EQ(text(IDC_CONNECT), L"Disconnect");

        std::size_t before = LogMark();
        PostMessageW(window, WM_COMMAND, IDM_FILE_EXIT, 0);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
        EXPECT_EQ(WritesSince(before, 0), std::vector<std::string>{});
    } else {
        ADD_FAILURE() << "no window of the program";
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, found ? 0u : 1u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
