// The real main window: its controls, size, menu and About box; port discovery; connecting to the virtual
// modules; and the built program leaving from File > "E&xit" while connected.
#include "window_driver.h"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "app/layout_table.h"
#include "device/port_info.h"

TEST_F(MainWindowTest, IsTheKorvelWindowWithEveryControlOfTheLayoutTableAndShrinks) {
    RECT outer = RectIn(window, nullptr), client{};
    EXPECT_EQ(std::tuple(WindowText(window), ClassName(window), outer.right - outer.left, outer.bottom - outer.top),
              std::tuple(L"Korvel Configurator", L"KorvelGUI", 880, 750));
    // Each kind's class and style bits, in the order of ControlKind.
    const std::pair<const wchar_t*, LONG> kinds[] = {
        {L"Button", BS_GROUPBOX}, {L"Static", 0}, {L"Static", SS_LEFTNOWORDWRAP}, {L"ComboBox", CBS_DROPDOWNLIST},
        {L"Button", BS_PUSHBUTTON}, {L"Button", BS_CHECKBOX}, {L"Edit", ES_AUTOHSCROLL}, {L"Static", WS_CLIPCHILDREN},
        {L"SysTabControl32", 0}, {L"SysListView32", LVS_REPORT | LVS_SINGLESEL}};
    GetClientRect(window, &client);
    std::vector<Placement> moved = LayoutPlacements(client.right, client.bottom);
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), std::size(kMainControls));
    // Creation order, except that the tab control and then the list view were raised.
    EXPECT_EQ(std::tuple(GetDlgCtrlID(children[0]), GetDlgCtrlID(children[1])),
              std::tuple(IDC_ACTIONS_LIST, IDC_ACTIONS_TAB));
    std::size_t next = 2;
    for (const ControlSpec& spec : kMainControls) {
        SCOPED_TRACE(testing::Message() << "control " << spec.id << " at (" << spec.x << ", " << spec.y << ")");
        bool raised = spec.kind == ControlKind::Tab || spec.kind == ControlKind::List;
        HWND hwnd = raised ? control(spec.id) : children[next++];
        auto [className, style] = kinds[static_cast<int>(spec.kind)];
        std::wstring shown = spec.id == IDC_STATUS       ? L"Found 1 COM port(s)."
                             : spec.id == IDC_PORT_COMBO ? L"Korvel virtual module (COM7)"
                                                         : spec.text;
        EXPECT_EQ(std::tuple(GetDlgCtrlID(hwnd), ClassName(hwnd), WindowText(hwnd),
                             GetWindowLongW(hwnd, GWL_STYLE) & style, SendMessageW(hwnd, WM_GETFONT, 0, 0)),
                  std::tuple(spec.id, className, shown, style, reinterpret_cast<LRESULT>(program->uiFont)));
        auto moves = std::ranges::find(moved, spec.id, &Placement::id);
        Placement at = moves != moved.end() ? *moves : Placement{spec.id, spec.x, spec.y, spec.width, spec.height};
        RECT rect = RectIn(hwnd, window);
        // A combo box's height in the table is that of its open list.
        int height = spec.kind == ControlKind::DropDownList ? at.height : rect.bottom - rect.top;
        EXPECT_EQ(std::tuple(rect.left, rect.top, rect.right - rect.left, height),
                  std::tuple(at.x, at.y, at.width, at.height));
    }
    // At a small size the actions area keeps its minimum.
    SetWindowPos(window, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT actions = RectIn(control(IDC_GROUP_ACTIONS), window), table = RectIn(list(), window);
    EXPECT_EQ(std::tuple(actions.bottom - actions.top, table.bottom - table.top), std::tuple(180, 116));
}

// Each item as "text id", those of the bar first; then the About box from the
// menu and from Alt + "?" and Alt + "/" typed as characters, closed with OK.
TEST_F(MainWindowTest, MenuAndAcceleratorsOpenTheAboutBox) {
    HMENU bar = GetMenu(window);
    std::wstring items;
    for (HMENU menu : {bar, GetSubMenu(bar, 0), GetSubMenu(bar, 1)})
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            items += text + (L" " + std::to_wstring(static_cast<int>(GetMenuItemID(menu, i)))) + L"; ";
        }
    auto id = [](int command) { return L" " + std::to_wstring(command) + L"; "; };
    EXPECT_EQ(items, L"&File -1; &Help -1; Open..." + id(IDM_FILE_OPEN) + L"Save..." + id(IDM_FILE_SAVE) + L"E&xit" +
                         id(IDM_FILE_EXIT) + L"&About ..." + id(IDM_HELP_ABOUT));
    for (wchar_t character : {L'\0', L'?', L'/'}) {
        SCOPED_TRACE(testing::Message() << "Alt + " << static_cast<char>(character));
        std::wstring shown;
        WithDialog(
            window,
            [&](HWND dialog) {
                shown = WindowText(dialog);
                for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                    if (!WindowText(child).starts_with(L'\xFFFF'))
                        shown += L"; " + ClassName(child) + L" " + WindowText(child);
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            },
            [&] {
                if (!character) return command(IDM_HELP_ABOUT);
                // Alt held: in the thread's key state, and bit 29 of the message.
                BYTE keys[256] = {};
                GetKeyboardState(keys);
                keys[VK_MENU] = 0x80;
                SetKeyboardState(keys);
                MSG message{window, WM_SYSCHAR, character, 1 << 29, 0, {}};
                TranslateAcceleratorW(window, accelerators, &message);
                keys[VK_MENU] = 0;
                SetKeyboardState(keys);
            });
        EXPECT_EQ(shown,
                  L"About Korvel Configurator; Static Korvel Configurator, Version 1.0; SysLink <a href="
                  L"\"https://www.korvel.example/\">www.korvel.example</a>; Static (C) 2026 Korvel; Button OK");
    }
}

// Friendly names of every shape, registered next to the module on COM7.
TEST(PortDiscovery, ListsPresentComPortsByTheNameInParentheses) {
    const wchar_t* names[] = {L"USB Serial Device (COM3)", L"Prolific USB-to-Serial (COM12)",
                              L"ECP Printer Port (LPT1)",  L"Lower case (com4)",
                              L"No closing part (COM6",    L"Bluetooth link (COM port) (COM7)",
                              L"USB Serial Device (COM3)", L"S\u00e9rie (COM5)"};
    for (std::size_t i = 0; i < std::size(names); ++i) RegisterPort(std::to_wstring(110 + i), L"", names[i]);
    std::vector<std::pair<std::string, std::string>> listed;
    for (const PortInfo& port : listSerialPorts()) listed.emplace_back(port.port, port.friendlyName);
    for (std::size_t i = 0; i < std::size(names); ++i) UnregisterPort(std::to_wstring(110 + i));
    std::ranges::sort(listed);
    // The name narrowed to the ANSI code page: \u00e9 is 0xE9.
    EXPECT_EQ(listed, (decltype(listed){{"COM port", "Bluetooth link (COM port) (COM7)"},
                                        {"COM12", "Prolific USB-to-Serial (COM12)"},
                                        {"COM3", "USB Serial Device (COM3)"},
                                        {"COM3", "USB Serial Device (COM3)"},
                                        {"COM5", "S\xe9rie (COM5)"},
                                        {"COM7", "Korvel virtual module (COM7)"}}));
}

// A module that hangs up after the connect's reads and one poll disconnects with the failing step's text; a
// short poll answer is a protocol error, and polling goes on.
TEST_F(MainWindowTest, FailingModulesShowTheirErrors) {
    ASSERT_TRUE(connect(L"Korvel hanging module (COM8)", L"COM8"));
    const std::wstring serial = L"Serial error occured: ";
    ASSERT_TRUE(pumpUntil([&] { return status().starts_with(serial); }, 5000)) << status();
    EXPECT_TRUE(status() == serial + L"Write failed." || status() == serial + L"Read failed.") << status();
    EXPECT_EQ(std::tuple(text(IDC_CONNECT), program->app.module.link.isOpen()), std::tuple(L"Connect", false));
    for (int id : {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC, IDC_CURRENT_BRIGHTNESS})
        EXPECT_EQ(text(id), L"-") << id;

    ASSERT_TRUE(connect(L"Korvel terse module (COM9)", L"COM9"));
    for (int tick = 0; tick < 2; ++tick, SetWindowTextW(control(IDC_STATUS), L""))
        ASSERT_TRUE(pumpUntil([&] { return status() == L"Protocol error occured: Fewer bytes than expected."; }));
    EXPECT_EQ(std::tuple(text(IDC_CONNECT), program->app.module.link.connected), std::tuple(L"Disconnect", true));
}

// The built program as a process of its own, at the module's real pace. The port's opening is the one line it
// writes to standard output.
TEST(Program, ConnectsAndLeavesFromExitWithZeroSendingNothing) {
    wchar_t self[MAX_PATH] = {};  // build/tests/win32/*.exe -> build/app/korvel-configurator.exe
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    auto exe = std::filesystem::path(self).parent_path().parent_path().parent_path() / L"app/korvel-configurator.exe";
    const std::filesystem::path outPath = RunFile(L"program-stdout.txt");
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(out);
    HWND window = nullptr;
    // Whether control `id` of the program's window shows `text` (or not, with `is` false) within 15 s.
    auto shows = [&](int id, const std::wstring& text, bool is = true) {
        for (int i = 0; i < 300; ++i, Sleep(50))
            if ((window = FindWindowW(L"KorvelGUI", L"Korvel Configurator")) &&
                (WindowText(GetDlgItem(window, id)) == text) == is)
                return true;
        return false;
    };
    EXPECT_TRUE(shows(IDC_STATUS, L"Found 1 COM port(s)."));
    SendMessageTimeoutW(GetDlgItem(window, IDC_CONNECT), BM_CLICK, 0, 0, SMTO_NORMAL, 15000, nullptr);
    EXPECT_TRUE(shows(IDC_STATUS, L"Connected. Live polling at 5 Hz."));
    EXPECT_TRUE(shows(IDC_PRESSED_MEDIA, L"-", false));
    std::size_t before = LogMark();
    PostMessageW(window, WM_COMMAND, IDM_FILE_EXIT, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    TerminateProcess(process.hProcess, 1), CloseHandle(process.hProcess);  // in case it is still there
    EXPECT_EQ(std::tuple(exitCode, WritesSince(before, 0)), std::tuple(0ul, Lines{}));
    std::ifstream written(outPath, std::ios::binary);
    std::string stdoutText{std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()};
    EXPECT_EQ(stdoutText, "Connecting to COM port.\r\n");  // standard output in text mode
}
