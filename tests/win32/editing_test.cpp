// Editing the Media table in place in the real list view, against the virtual
// module on COM7: what the editors show and what the module receives.
#include "window_driver.h"

#include <commctrl.h>

#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "app/win32/combo_box.h"
#include "device/protocol.h"

namespace {

// setMediaAction for a row with the held record's bytes, changed by `edit`.
std::vector<std::uint8_t> MediaWrite(const MediaAction& held, int row, void (*edit)(MediaAction&)) {
    MediaAction record = held;
    edit(record);
    std::vector<std::uint8_t> request{cmd::setMediaAction, static_cast<std::uint8_t>(row)};
    request.insert(request.end(), record.bytes.begin(), record.bytes.end());
    return request;
}

}  // namespace

class EditingTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(connect());
        ASSERT_GE(program->app.page.mediaActions.size(), 3u);
        pump(100);
        logStart = LogMark();
    }
    std::wstring cell(int row, int column) const { return program->view.listCell(row, column); }
    // Nothing but polls reached the module since the test started.
    void expectNothingSent() {
        pump(200);
        EXPECT_EQ(WritesSince(logStart, 0), std::vector<std::string>{});
    }
    std::size_t logStart = 0;
};

TEST_F(EditingTest, ButtonCellOpensTheCatalogueAndReturnSendsTheRow) {
    MediaAction held = program->app.page.mediaActions[1];
    std::wstring before = cell(1, 1);
    doubleClickCell(1, 1);
    HWND combo = cellEditor(L"ComboBox");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(GetWindowLongW(combo, GWL_STYLE) & 3, CBS_DROPDOWN);
    RECT rect = ClientRectIn(combo, list()), cellAt = cellRect(1, 1);
    EXPECT_EQ(rect.left, cellAt.left + 1);
    EXPECT_EQ(rect.top, cellAt.top + 1);
    EXPECT_EQ(rect.right - rect.left, cellAt.right - cellAt.left - 2);
    ComboBox items{combo};
    ASSERT_EQ(items.count(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(items.item(i), FormatCatalogueEntry(Media, MediaButtons[i].name, MediaButtons[i].code));
    EXPECT_EQ(WindowText(combo), before);

    COMBOBOXINFO parts{};
    parts.cbSize = sizeof(parts);
    ASSERT_TRUE(GetComboBoxInfo(combo, &parts));
    SetWindowTextW(parts.hwndItem, L"0x19");
    SendMessageW(parts.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(status(), L"Action updated");
    EXPECT_EQ(cell(1, 1), FormatButton(Media, 0x19));
    auto expected = MediaWrite(held, 1, [](MediaAction& r) { r.bytes[0] = 0x19; });
    EXPECT_EQ(WritesSince(logStart), std::vector<std::string>{Accepted(expected)});
}

TEST_F(EditingTest, EscapeLeavesTheCellAndTheModuleAlone) {
    std::wstring before = cell(0, 2);
    doubleClickCell(0, 2);
    HWND edit = cellEditor(L"Edit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), before);
    EXPECT_EQ(GetFocus(), edit);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, before.size());
    SetWindowTextW(edit, L"0x1234");
    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(cell(0, 2), before);
    expectNothingSent();
}

TEST_F(EditingTest, ChoosingAnRaItemCommitsAtOnce) {
    MediaAction held = program->app.page.mediaActions[0];
    std::uint16_t code = 0;
    ASSERT_TRUE(ResistorACode(cell(0, 15), code));
    int index = 0;
    while (ResistorsA[index].code != code) ++index;
    ASSERT_LT(index, 15);
    doubleClickCell(0, 15);
    HWND combo = cellEditor(L"ComboBox");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(GetWindowLongW(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(ComboBox{combo}.count(), 16);
    EXPECT_EQ(ComboBox{combo}.selection(), index);
    // The next item, chosen with the arrow key in the open list.
    SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    pump(20);
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(cell(0, 15), ResistorsA[index + 1].name);
    EXPECT_EQ(status(), L"Action updated");
    std::uint16_t next = ResistorsA[index + 1].code;
    auto expected = MediaWrite(held, 0, [](MediaAction&) {});
    expected[2 + 7] = static_cast<std::uint8_t>(next & 0xFF);
    expected[2 + 8] = static_cast<std::uint8_t>((held.bytes[8] & 0x80) | next >> 8);
    EXPECT_EQ(WritesSince(logStart), std::vector<std::string>{Accepted(expected)});
}

TEST_F(EditingTest, FlagDoubleClickFlipsTheCellAndSendsTheRow) {
    MediaAction held = program->app.page.mediaActions[2];
    std::wstring before = cell(2, 4);
    doubleClickCell(2, 4);
    EXPECT_EQ(cell(2, 4), before == CheckMark ? L"" : CheckMark);
    EXPECT_EQ(status(), L"Action updated");
    auto expected = MediaWrite(held, 2, [](MediaAction& r) { r.bytes[5] ^= 0x01; });
    EXPECT_EQ(WritesSince(logStart), std::vector<std::string>{Accepted(expected)});
}

// The combo editor does not commit on focus loss, so a click on another tab
// throws its text away.
TEST_F(EditingTest, SwitchingTabsDiscardsAnOpenEdit) {
    doubleClickCell(0, 1);
    HWND edit = cellEditor(L"ComboBox");
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"0x19");
    // A click on the "Gears" tab.
    HWND tab = control(IDC_ACTIONS_TAB);
    RECT gears{};
    SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&gears));
    LPARAM at = MAKELPARAM((gears.left + gears.right) / 2, (gears.top + gears.bottom) / 2);
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tab, WM_LBUTTONUP, 0, at);
    pump(50);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(status(), L"Gear actions loaded.");
    // Only the Gears table was read: getGearActions.
    std::vector<std::string> writes = WritesSince(logStart);
    ASSERT_EQ(writes.size(), 1u) << testing::PrintToString(writes);
    EXPECT_EQ(writes[0].rfind("0B ->", 0), 0u) << writes[0];
}

TEST_F(EditingTest, PressOnTheWindowBackgroundCommitsAnOpenEdit) {
    MediaAction held = program->app.page.mediaActions[0];
    doubleClickCell(0, 2);
    HWND edit = cellEditor(L"Edit");
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"0x1234");
    POINT background{700, 90};  // right of the "Device" buttons
    ClientToScreen(window, &background);
    SetCursorPos(background.x, background.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(700, 90));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(cell(0, 2), L"0x1234");
    EXPECT_EQ(status(), L"Action updated");
    auto expected = MediaWrite(held, 0, [](MediaAction& r) {
        r.bytes[1] = 0x34;
        r.bytes[2] = 0x12;
        r.bytes[3] = 0;
        r.bytes[4] = 0;
    });
    EXPECT_EQ(WritesSince(logStart), std::vector<std::string>{Accepted(expected)});
}

TEST_F(EditingTest, IndexColumnAndSpaceBelowTheRowsOpenNothing) {
    doubleClickCell(0, 0);
    EXPECT_EQ(cellEditor(L"Edit"), nullptr);
    EXPECT_EQ(cellEditor(L"ComboBox"), nullptr);
    // The Horn table has too few rows to fill the list.
    SendMessageW(control(IDC_ACTIONS_TAB), TCM_SETCURSEL, 2, 0);
    NMHDR change{control(IDC_ACTIONS_TAB), IDC_ACTIONS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window, WM_NOTIFY, IDC_ACTIONS_TAB, reinterpret_cast<LPARAM>(&change));
    ASSERT_EQ(status(), L"Horn actions loaded.");
    logStart = LogMark();
    RECT client{};
    GetClientRect(list(), &client);
    int rows = program->view.listRowCount();
    ASSERT_LT(cellRect(rows - 1, 1).bottom, client.bottom - 10);
    RECT column = cellRect(0, 1);
    doubleClickAt({(column.left + column.right) / 2, client.bottom - 5});
    EXPECT_EQ(cellEditor(L"ComboBox"), nullptr);
    EXPECT_EQ(status(), L"Horn actions loaded.");
    expectNothingSent();
}

// A press commits the open Button combo unless the pointer is on the combo itself.
TEST_F(EditingTest, PressesCommitTheComboEditorOnlyAwayFromIt) {
    MediaAction held = program->app.page.mediaActions[3];
    struct Case {
        const char* name;
        bool onCombo;
        bool onList;  // the press reaches the list view, else the window background
    };
    for (Case c : {Case{"on the combo", true, false}, Case{"background", false, false}, Case{"list", false, true}}) {
        SCOPED_TRACE(c.name);
        logStart = LogMark();
        doubleClickCell(3, 1);
        HWND combo = cellEditor(L"ComboBox");
        ASSERT_NE(combo, nullptr);
        SetWindowTextW(combo, L"0x19");
        RECT comboAt{};
        GetWindowRect(combo, &comboAt);
        POINT pointer{comboAt.left + 5, comboAt.top + 5};
        if (!c.onCombo) {
            pointer = {700, 90};
            ClientToScreen(window, &pointer);
        }
        SetCursorPos(pointer.x, pointer.y);
        if (c.onList) {
            RECT other = cellRect(5, 2);
            LPARAM at = MAKELPARAM(other.left + 5, other.top + 3);
            // The button-up first, or the list view waits for it in its drag check.
            PostMessageW(list(), WM_LBUTTONUP, 0, at);
            SendMessageW(list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        } else {
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(700, 90));
        }
        pump(20);
        if (c.onCombo) {
            EXPECT_TRUE(IsWindow(combo));
            // Escape then throws the typed text away.
            std::wstring before = cell(3, 1);
            SendMessageW(combo, WM_KEYDOWN, VK_ESCAPE, 0);
            EXPECT_FALSE(IsWindow(combo));
            EXPECT_EQ(cell(3, 1), before);
            expectNothingSent();
            continue;
        }
        EXPECT_FALSE(IsWindow(combo));
        EXPECT_EQ(cell(3, 1), FormatButton(Media, 0x19));
        auto expected = MediaWrite(held, 3, [](MediaAction& r) { r.bytes[0] = 0x19; });
        EXPECT_EQ(WritesSince(logStart), std::vector<std::string>{Accepted(expected)});
    }
}
