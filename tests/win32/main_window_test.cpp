// The main window as it stands after start: identity, every control of the
// layout table, resizing, the menu, the accelerators and the About box.
#include "window_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "app/layout_table.h"
#include "app/win32/combo_box.h"

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

struct KindLook {
    const wchar_t* className;
    DWORD style;  // the kind's own style bits
    bool clientEdge;
};

KindLook LookOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::GroupBox: return {L"button", BS_GROUPBOX, false};
    case ControlKind::Label: return {L"static", 0, false};
    case ControlKind::Display: return {L"static", SS_LEFTNOWORDWRAP, true};
    case ControlKind::DropDownList: return {L"combobox", CBS_DROPDOWNLIST, false};
    case ControlKind::PushButton: return {L"button", BS_PUSHBUTTON, false};
    case ControlKind::CheckBox: return {L"button", BS_CHECKBOX, false};
    case ControlKind::Edit: return {L"edit", ES_AUTOHSCROLL, true};
    case ControlKind::Panel: return {L"static", WS_CLIPCHILDREN, false};
    case ControlKind::Tab: return {L"systabcontrol32", WS_CLIPSIBLINGS, false};
    case ControlKind::List: return {L"syslistview32", LVS_REPORT | LVS_SINGLESEL | WS_CLIPSIBLINGS, true};
    }
    return {};
}

// The children of the main window in stacking order, top first.
std::vector<HWND> StackingOrder(HWND window) {
    std::vector<HWND> order;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(child);
    return order;
}

RECT ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST_F(MainWindowTest, IsTheKorvelWindowAtItsSize) {
    EXPECT_EQ(WindowText(window), L"Korvel Configurator");
    EXPECT_EQ(ClassName(window), L"KorvelGUI");
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 880);
    EXPECT_EQ(outer.bottom - outer.top, 750);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
}

TEST_F(MainWindowTest, CreatesEveryControlOfTheLayoutTable) {
    RECT client = ClientSize(window);
    std::vector<Placement> moved = LayoutPlacements(client.right, client.bottom);
    std::vector<HWND> order = StackingOrder(window);
    ASSERT_EQ(order.size(), 43u);
    // Creation order, except that the tab control and then the list view were raised.
    EXPECT_EQ(GetDlgCtrlID(order[0]), IDC_ACTIONS_LIST);
    EXPECT_EQ(GetDlgCtrlID(order[1]), IDC_ACTIONS_TAB);
    std::vector<HWND> rest(order.begin() + 2, order.end());

    std::size_t position = 0;
    for (const ControlSpec& spec : kMainControls) {
        SCOPED_TRACE(testing::Message() << "control id " << spec.id << " at (" << spec.x << ", " << spec.y << ")");
        HWND hwnd;
        if (spec.kind == ControlKind::Tab || spec.kind == ControlKind::List) {
            hwnd = control(spec.id);
        } else {
            ASSERT_LT(position, rest.size());
            hwnd = rest[position++];
        }
        ASSERT_NE(hwnd, nullptr);
        KindLook look = LookOf(spec.kind);
        EXPECT_EQ(GetDlgCtrlID(hwnd), spec.id);
        EXPECT_EQ(Lower(ClassName(hwnd)), look.className);
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        EXPECT_EQ(style & static_cast<LONG>(look.style), static_cast<LONG>(look.style));
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_FALSE(style & WS_TABSTOP);
        EXPECT_EQ((GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, look.clientEdge);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), program->uiFont);
        if (spec.kind != ControlKind::DropDownList && spec.id != IDC_STATUS) {
            EXPECT_EQ(WindowText(hwnd), spec.text);
        }

        RECT at = ClientRectIn(hwnd, window);
        RECT expected{spec.x, spec.y, spec.x + spec.width, spec.y + spec.height};
        auto placement = std::find_if(moved.begin(), moved.end(), [&](const Placement& p) { return p.id == spec.id; });
        if (placement != moved.end())
            expected = {placement->x, placement->y, placement->x + placement->width, placement->y + placement->height};
        EXPECT_EQ(at.left, expected.left);
        EXPECT_EQ(at.top, expected.top);
        EXPECT_EQ(at.right - at.left, expected.right - expected.left);
        // A combo box's height in the table is that of its open list.
        if (spec.kind != ControlKind::DropDownList) {
            EXPECT_EQ(at.bottom - at.top, expected.bottom - expected.top);
        }
    }
    // The font reaches the list view's header too.
    HWND header = reinterpret_cast<HWND>(SendMessageW(control(IDC_ACTIONS_LIST), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)), program->uiFont);
    LOGFONTW font{};
    GetObjectW(program->uiFont, sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Segoe UI");
}

TEST_F(MainWindowTest, StartsDisconnectedWithTheRegisteredPortListed) {
    EXPECT_EQ(status(), L"Found 1 COM port(s).");
    ComboBox ports{control(IDC_PORT_COMBO)};
    ASSERT_EQ(ports.count(), 1);
    EXPECT_EQ(ports.item(0), L"Korvel virtual module (COM7)");
    EXPECT_EQ(ports.selection(), 0);
    EXPECT_EQ(text(IDC_CONNECT), L"Connect");
    for (int id : {IDC_SAVE_TO_DEVICE, IDC_LOAD_FROM_DEVICE, IDC_RESET, IDC_IR_SEND, IDC_IR_PERIOD_SET, IDC_FULL_REPEAT,
                   IDC_IR_CODE, IDC_IR_PERIOD, IDC_MAX_BRIGHTNESS, IDC_MAX_BRIGHTNESS_SET, IDC_RA_DEFAULT,
                   IDC_RB_DEFAULT, IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                   IDC_CURRENT_BRIGHTNESS, IDC_ACTIONS_PANEL, IDC_ACTIONS_TAB, IDC_ACTIONS_LIST})
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : {IDC_PORT_COMBO, IDC_REFRESH, IDC_CONNECT}) EXPECT_TRUE(enabled(id)) << id;

    ComboBox ra{control(IDC_RA_DEFAULT)}, rb{control(IDC_RB_DEFAULT)};
    ASSERT_EQ(ra.count(), 16);
    EXPECT_EQ(ra.item(0), L"");
    EXPECT_EQ(ra.item(1), L"1.2 k\u2126");
    EXPECT_EQ(ra.item(15), L"22 \u2126");
    ASSERT_EQ(rb.count(), 2);
    EXPECT_EQ(rb.item(1), L"22 \u2126");
    EXPECT_EQ(ra.selection(), -1);
    EXPECT_EQ(rb.selection(), -1);

    HWND tab = control(IDC_ACTIONS_TAB);
    ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 4);
    const wchar_t* names[] = {L"Media", L"Gears", L"Horn", L"ACC"};
    for (int i = 0; i < 4; ++i) {
        wchar_t name[16] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = name;
        item.cchTextMax = 16;
        SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(name), names[i]);
    }
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(MainWindowTest, ResizingKeepsTheActionsAreaAtItsMinimumAboveThePanel) {
    struct Case {
        int width, height;
    };
    for (Case c : {Case{500, 300}, Case{1000, 900}, Case{880, 750}}) {
        SetWindowPos(window, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        pump(20);
        RECT client = ClientSize(window);
        int a = std::max(static_cast<int>(client.bottom) - 445, 180);
        int b = std::max(a - 34, 80);
        SCOPED_TRACE(testing::Message() << "client " << client.right << " x " << client.bottom);
        RECT actions = ClientRectIn(control(IDC_GROUP_ACTIONS), window);
        RECT list = ClientRectIn(control(IDC_ACTIONS_LIST), window);
        RECT statusGroup = ClientRectIn(control(IDC_GROUP_STATUS), window);
        EXPECT_EQ(actions.bottom - actions.top, a);
        EXPECT_EQ(list.bottom - list.top, b - 30);
        EXPECT_EQ(list.right - list.left, client.right - 40);
        EXPECT_EQ(statusGroup.top, client.bottom - 65);
        if (c.height == 300) {
            EXPECT_EQ(actions.bottom - actions.top, 180);
            EXPECT_EQ(list.bottom - list.top, 116);
        }
        std::vector<HWND> order = StackingOrder(window);
        EXPECT_EQ(GetDlgCtrlID(order[0]), IDC_ACTIONS_LIST);
        EXPECT_EQ(GetDlgCtrlID(order[1]), IDC_ACTIONS_TAB);
    }
}

TEST_F(MainWindowTest, MenuHoldsFileAndHelpCommands) {
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 0), L"&File");
    EXPECT_EQ(MenuText(menu, 1), L"&Help");
    HMENU file = GetSubMenu(menu, 0), help = GetSubMenu(menu, 1);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(MenuText(file, 0), L"Open...");
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_FILE_OPEN));
    EXPECT_EQ(MenuText(file, 1), L"Save...");
    EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_FILE_SAVE));
    EXPECT_EQ(MenuText(file, 2), L"E&xit");
    EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(IDM_FILE_EXIT));
    ASSERT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(MenuText(help, 0), L"&About ...");
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(IDM_HELP_ABOUT));
}

// The About box opened by the menu and by Alt + "?" and Alt + "/", typed as
// characters; each time it shows its texts and closes with OK.
TEST_F(MainWindowTest, AboutBoxOpensFromTheMenuAndBothAccelerators) {
    struct Way {
        const char* name;
        std::function<void()> open;
    };
    auto altCharacter = [this](wchar_t character) {
        return [this, character] {
            // Alt held: in the thread's key state, and bit 29 of the character message.
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_MENU] |= 0x80;
            SetKeyboardState(keys);
            MSG message{window, WM_SYSCHAR, character, 1 << 29, 0, {}};
            EXPECT_TRUE(TranslateAcceleratorW(window, accelerators, &message));
            keys[VK_MENU] &= 0x7F;
            SetKeyboardState(keys);
        };
    };
    std::vector<Way> ways = {{"menu", [this] { command(IDM_HELP_ABOUT); }},
                             {"Alt+?", altCharacter(L'?')},
                             {"Alt+/", altCharacter(L'/')}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        std::wstring caption, version, linkClass;
        HWND dialogSeen = nullptr;
        WithDialog(
            window,
            [&](HWND dialog) {
                dialogSeen = dialog;
                caption = WindowText(dialog);
                HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
                linkClass = ClassName(link);
                for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    std::wstring shown = WindowText(child);
                    if (shown.starts_with(L"Korvel Configurator, Version")) version = shown;
                }
                EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), L"OK");
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            },
            way.open);
        EXPECT_NE(dialogSeen, nullptr);
        EXPECT_FALSE(IsWindow(dialogSeen));
        EXPECT_EQ(caption, L"About Korvel Configurator");
        EXPECT_EQ(version, L"Korvel Configurator, Version 1.0");
        EXPECT_EQ(linkClass, L"SysLink");
    }
}
