#include "window_driver.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/win32/combo_box.h"

namespace {

using Clock = std::chrono::steady_clock;

const wchar_t kPortsKey[] = L"System\\CurrentControlSet\\Enum\\ROOT\\PORTS\\";

std::function<void(HWND)> g_onDialog;
HWND g_dialogOwner = nullptr;

BOOL CALLBACK FindOwnedDialog(HWND hwnd, LPARAM found) {
    if (GetWindow(hwnd, GW_OWNER) == g_dialogOwner && IsWindowVisible(hwnd) && ClassName(hwnd) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    auto onDialog = std::move(g_onDialog);
    onDialog(dialog);
}

}  // namespace

void MainWindowTest::SetUp() {
    program = std::make_unique<Program>();
    g_program = program.get();
    // Short deadlines: the tests wait for the module, not for the defaults.
    // The gap between two bytes is the exception: on a loaded machine a reply
    // can arrive in pieces further apart than the module's 50 ms.
    program->app.link.timeouts.settleMs = 20;
    program->app.link.timeouts.readConstant = 1000;
    program->app.link.timeouts.readInterval = 250;
    ASSERT_TRUE(RegisterMainClass(*program, GetModuleHandleW(nullptr)));
    window = CreateMainWindow(*program);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    accelerators = LoadAcceleratorsW(program->instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    pump(50);
}

void MainWindowTest::TearDown() {
    if (IsWindow(window)) DestroyWindow(window);
    pumpUntil([this] { return quitSeen; }, 2000);
    g_program = nullptr;
}

std::wstring MainWindowTest::text(int id) const {
    HWND hwnd = control(id);
    return hwnd ? WindowText(hwnd) : L"<no control>";
}

void MainWindowTest::click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }

void MainWindowTest::command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void MainWindowTest::pump(int ms) {
    pumpUntil([] { return false; }, ms);
}

bool MainWindowTest::pumpUntil(const std::function<bool()>& done, int ms) {
    auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    // One message at a time: a slow poll can leave a timer tick pending after
    // every message, so the queue is never empty for long.
    for (;;) {
        MSG message;
        bool got = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
        if (got && message.message == WM_QUIT) {
            quitSeen = true;
            exitCode = message.wParam;
        } else if (got && !TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        if (!got)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left, 20)),
                                      QS_ALLINPUT);
    }
}

bool MainWindowTest::connect(const std::wstring& name) {
    click(IDC_REFRESH);
    ComboBox ports{control(IDC_PORT_COMBO)};
    int index = ports.findExact(name);
    if (index < 0) return false;
    ports.select(index);
    click(IDC_CONNECT);
    return pumpUntil([this] { return status() == L"Connected. Live polling at 5 Hz."; });
}

RECT MainWindowTest::cellRect(int row, int column) const {
    RECT rect{};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    SendMessageW(list(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void MainWindowTest::doubleClickAt(POINT point) {
    LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list(), WM_LBUTTONUP, 0, at);
    pump(20);
}

void MainWindowTest::doubleClickCell(int row, int column) {
    RECT cell = cellRect(row, column);
    doubleClickAt({(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

RECT ClientRectIn(HWND hwnd, HWND parent) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void WithDialog(HWND owner, const std::function<void(HWND)>& onDialog, const std::function<void()>& open) {
    g_dialogOwner = owner;
    g_onDialog = onDialog;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerDialog);
    open();
    KillTimer(nullptr, timer);
    g_onDialog = nullptr;
}

void RegisterPort(const std::wstring& slot, const std::wstring& com, const std::wstring& name) {
    HKEY key = nullptr;
    std::wstring path = kPortsKey + slot;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    auto set = [](HKEY k, const wchar_t* value, const std::wstring& data) {
        RegSetValueExW(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    };
    set(key, L"ClassGUID", L"{4d36e978-e325-11ce-bfc1-08002be10318}");
    set(key, L"Class", L"Ports");
    set(key, L"FriendlyName", name);
    HKEY parameters = nullptr;
    RegCreateKeyExW(key, L"Device Parameters", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parameters, nullptr);
    set(parameters, L"PortName", com);
    RegCloseKey(parameters);
    RegCloseKey(key);
}

void UnregisterPort(const std::wstring& slot) {
    std::wstring path = kPortsKey + slot;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
}

std::wstring RunFile(const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"KORVEL_WINE_RUN_DIR", dir, MAX_PATH)) GetTempPathW(MAX_PATH, dir);
    std::wstring path = dir;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + name;
}

std::size_t LogMark() {
    Sleep(100);  // the module writes its log every 20 ms
    return ModuleLog("com7").size();
}

std::vector<std::string> WritesSince(std::size_t from, std::size_t atLeast) {
    std::vector<std::string> writes;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<std::string> log = ModuleLog("com7");
        writes.clear();
        for (std::size_t i = from; i < log.size(); ++i)
            if (log[i].rfind("02 ", 0) != 0 && log[i].rfind("03 ", 0) != 0) writes.push_back(log[i]);
        if (writes.size() >= atLeast) break;
        Sleep(20);
    }
    return writes;
}

std::string Accepted(const std::vector<std::uint8_t>& request) {
    std::string line;
    char byte[4];
    for (std::uint8_t b : request) {
        std::snprintf(byte, sizeof(byte), "%02X ", b);
        line += byte;
    }
    return line + "-> 00";
}

std::vector<std::string> ModuleLog(const std::string& com) {
    // Not "COM7.log": Windows opens any name whose stem is a device name as the device.
    std::ifstream log(std::filesystem::path(RunFile(L"exchanges-" + std::wstring(com.begin(), com.end()) + L".log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}
