#pragma once
// Drives the real main window in-process through messages and reads back what the user sees; the virtual
// module on COM7 logs what reached it. Each test gets a fresh window and fresh process-wide objects.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/resource_ids.h"
#include "app/win32/combo_box.h"
#include "app/win32/program.h"

using Lines = std::vector<std::string>;

inline std::wstring ClassName(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// A window's rectangle in the client pixels of `parent`.
inline RECT RectIn(HWND hwnd, HWND parent) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Runs `onDialog` once a dialog owned by `owner` is up (in the modal loop, on a timer) while `open` shows it.
// A dialog still up two seconds later (an error box, or one that ignored the answer) is closed.
inline void WithDialog(HWND owner, std::function<void(HWND)> onDialog, const std::function<void()>& open) {
    static HWND s_owner;
    static std::function<void(HWND)> s_onDialog;
    static int s_ticks;
    s_owner = owner, s_onDialog = std::move(onDialog), s_ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = FindWindowW(L"#32770", nullptr);
        if (!dialog || !IsWindowVisible(dialog)) return;
        if (s_onDialog && GetWindow(dialog, GW_OWNER) == s_owner)
            std::exchange(s_onDialog, nullptr)(dialog);
        else if (!s_onDialog && ++s_ticks > 40)
            PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    open();
    KillTimer(nullptr, timer);
}

// Registers or removes a Ports device as the set-up API lists them.
inline const std::wstring kPortsKey = L"System\\CurrentControlSet\\Enum\\ROOT\\PORTS\\";
inline void RegisterPort(const std::wstring& slot, const std::wstring& com, const std::wstring& name) {
    auto set = [&](const wchar_t* subkey, const wchar_t* value, const std::wstring& data) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kPortsKey + slot + subkey).c_str(), value, REG_SZ, data.c_str(),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    };
    set(L"", L"ClassGUID", L"{4d36e978-e325-11ce-bfc1-08002be10318}");
    set(L"", L"Class", L"Ports");
    set(L"", L"FriendlyName", name);
    set(L"\\Device Parameters", L"PortName", com);
}
inline void UnregisterPort(const std::wstring& slot) { RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kPortsKey + slot).c_str()); }

// A path in the run directory of scripts/test-wine (or the temp folder).
inline std::wstring RunFile(const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"KORVEL_WINE_RUN_DIR", dir, MAX_PATH)) GetTempPathW(MAX_PATH, dir);
    return (std::filesystem::path(dir) / name).wstring();
}

// The COM7 module's log, "REQUEST -> REPLY" in hex (not "COM7.log": Windows opens that as the device).
inline Lines ModuleLog() {
    std::ifstream log(std::filesystem::path(RunFile(L"exchanges-com7.log")));
    Lines lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}
// The log's length once it has caught up: the module writes it every 20 ms.
inline std::size_t LogMark() { return Sleep(100), ModuleLog().size(); }
// The log's lines from `from` on other than live polls, once `atLeast` are there (or after two seconds).
inline Lines WritesSince(std::size_t from, std::size_t atLeast = 1) {
    if (!atLeast) Sleep(100);  // the log catches up
    Lines writes;
    for (int attempt = 0; attempt < 100 && (attempt == 0 || writes.size() < atLeast); ++attempt, Sleep(20)) {
        Lines log = ModuleLog();
        writes.clear();
        for (std::size_t i = from; i < log.size(); ++i)
            if (!log[i].starts_with("02 ") && !log[i].starts_with("03 ")) writes.push_back(log[i]);
    }
    return writes;
}
// "01 02 FF -> 00": an exchange answered with status 0.
inline std::string Accepted(const std::vector<std::uint8_t>& request) {
    std::string line;
    char byte[4];
    for (std::uint8_t b : request) line += (std::snprintf(byte, sizeof(byte), "%02X ", b), byte);
    return line + "-> 00";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_program = (program = std::make_unique<Program>()).get();
        // Short deadlines, except the gap between two bytes: on a loaded machine a reply can arrive in
        // pieces further apart than the module's 50 ms.
        LinkTimeouts& timeouts = program->app.module.link.timeouts;
        timeouts.settleMs = 20, timeouts.readConstant = 1000, timeouts.readInterval = 250;
        ASSERT_TRUE(RegisterMainClass(*program, GetModuleHandleW(nullptr)));
        ASSERT_NE(window = CreateMainWindow(*program), nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        accelerators = LoadAcceleratorsW(program->instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
        pump(50);
    }
    void TearDown() override {
        DestroyWindow(window);
        pumpUntil([this] { return quitSeen; }, 2000);
        g_program = nullptr;
    }

    HWND control(int id) const { return GetDlgItem(window, id); }
    HWND list() const { return control(IDC_ACTIONS_LIST); }
    std::wstring text(int id) const { return WindowText(control(id)); }
    std::wstring status() const { return text(IDC_STATUS); }
    void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }
    void command(int id) { SendMessageW(window, WM_COMMAND, id, 0); }

    // Dispatches messages (accelerators first) until `done` holds; false when `ms` ran out first. One
    // message at a time: a slow poll can leave a timer tick pending after every message.
    bool pumpUntil(const std::function<bool()>& done, int ms = 4000) {
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);;) {
            MSG message;
            bool got = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
            quitSeen |= got && message.message == WM_QUIT;
            if (got && message.message != WM_QUIT && !TranslateAcceleratorW(message.hwnd, accelerators, &message))
                TranslateMessage(&message), DispatchMessageW(&message);
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            if (!got) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    void pump(int ms) { pumpUntil([] { return false; }, ms); }

    // Refreshes the port list, selects the port shown as `name` and connects;
    // with `com`, a Ports device of that name is registered for the refresh.
    bool connect(const std::wstring& name = L"Korvel virtual module (COM7)", const wchar_t* com = nullptr) {
        if (com) RegisterPort(L"0001", com, name);
        click(IDC_REFRESH);
        if (com) UnregisterPort(L"0001");
        ComboBox ports{control(IDC_PORT_COMBO)};
        if (ports.findExact(name) < 0) return false;
        ports.select(ports.findExact(name));
        click(IDC_CONNECT);
        return pumpUntil([this] { return status() == L"Connected. Live polling at 5 Hz."; });
    }
    void doubleClickCell(int row, int column) {
        RECT cell{LVIR_LABEL, column, 0, 0};  // for column 0 too, unlike LVIR_BOUNDS
        SendMessageW(list(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        LPARAM middle = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        for (UINT message : {WM_LBUTTONDBLCLK, WM_LBUTTONUP}) SendMessageW(list(), message, 0, middle);
        pump(20);
    }
    HWND cellEditor(const wchar_t* className) const { return FindWindowExW(list(), nullptr, className, nullptr); }
    // A press on the background right of the "Device" buttons, with the pointer there.
    void pressBackground() {
        POINT at{700, 90};
        ClientToScreen(window, &at);
        SetCursorPos(at.x, at.y);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(700, 90));
        pump(20);
    }

    std::unique_ptr<Program> program;
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    bool quitSeen = false;
};
