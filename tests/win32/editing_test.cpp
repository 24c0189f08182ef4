// Through the real window against the virtual module on COM7: editing the tables in place, the settings controls,
// and File > "Save..." and "Open..." with the real common file dialogs.
#include "window_driver.h"

#include <dlgs.h>

#include <algorithm>

#include "device/protocol.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"

// The module's log line for Media row `row` sent as `record`.
static std::string SentRow(int row, const MediaAction& record) {
    std::vector<std::uint8_t> request{cmd::setMediaAction, static_cast<std::uint8_t>(row)};
    return Accepted((request.insert(request.end(), record.bytes.begin(), record.bytes.end()), request));
}

class ConnectedTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(connect());
        logStart = LogMark();
    }
    std::wstring cell(int row, int column) const { return program->view.listCell(row, column); }
    MediaAction held(int row) const { return program->app.module.held.media.at(row); }
    // Runs a File menu command and answers its dialog with `name`; the dialog's file types, none without one.
    std::vector<std::wstring> fileCommand(int id, const std::wstring& name) {
        std::vector<std::wstring> types;
        auto answer = [&](HWND dialog) {
            for (ComboBox list{GetDlgItem(dialog, cmb1)}; types.size() < std::size_t(list.count());)
                types.push_back(list.item(static_cast<int>(types.size())));
            SetWindowTextW(GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13),
                           name.c_str());
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        };
        WithDialog(window, answer, [&] { command(id); });
        return types;
    }
    std::size_t logStart = 0;
};

// The Button combo and the IR edit field, each ended by Return, by a press on the window's background and by Escape.
TEST_F(ConnectedTest, EditorsCommitOnReturnAndBackgroundPressesButNotOnEscape) {
    auto button = [](MediaAction& r) { r.bytes[0] = 0x19; };
    auto ir = [](MediaAction& r) { r.bytes[1] = 0x34, r.bytes[2] = 0x12, r.bytes[3] = r.bytes[4] = 0; };
    const std::wstring voice = FormatButton(Media, 0x19);
    // Row, column, the key that ends the edit (0: a press on the background), the text typed, the cell after a
    // commit, and the change to the row's record (none: nothing is sent).
    const std::tuple<int, int, WPARAM, const wchar_t*, std::wstring, void (*)(MediaAction&)> cases[] = {
        {1, 1, VK_RETURN, L"0x19", voice, button}, {2, 1, 0, L"0x19", voice, button},
        {3, 1, VK_ESCAPE, L"0x19", L"", nullptr},  {1, 2, VK_RETURN, L"0x1234", L"0x1234", ir},
        {2, 2, 0, L"0x1234", L"0x1234", ir},       {3, 2, VK_ESCAPE, L"0x1234", L"", nullptr}};
    for (const auto& [row, column, key, typed, shown, edit] : cases) {
        SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column << ", key " << key);
        MediaAction record = held(row);
        std::wstring before = cell(row, column);
        std::size_t from = LogMark();
        doubleClickCell(row, column);
        HWND editor = cellEditor(column == 1 ? L"ComboBox" : L"Edit");
        ASSERT_NE(editor, nullptr);
        COMBOBOXINFO parts;
        HWND field = ComboBox{editor}.info(parts) ? parts.hwndItem : editor;
        EXPECT_EQ(WindowText(field), before);
        if (column == 1) {  // editable, listing the catalogue
            EXPECT_EQ(std::tuple(GetWindowLongW(editor, GWL_STYLE) & 3, ComboBox{editor}.count()),
                      std::tuple(CBS_DROPDOWN, std::ssize(MediaButtons)));
            for (int i = 0; i < ComboBox{editor}.count(); ++i)
                EXPECT_EQ(ComboBox{editor}.item(i), FormatButton(Media, MediaButtons[i].code));
        }
        SetWindowTextW(field, typed);
        key ? (void)SendMessageW(field, WM_KEYDOWN, key, 0) : pressBackground();
        EXPECT_FALSE(IsWindow(editor));
        EXPECT_EQ(cell(row, column), edit ? shown : before);
        EXPECT_TRUE(!edit || status() == L"Action updated") << status();
        if (edit) edit(record);
        pump(200);
        EXPECT_EQ(WritesSince(from, edit ? 1 : 0), edit ? Lines{SentRow(row, record)} : Lines{});
    }
}

TEST_F(ConnectedTest, ChoosingAnRaItemCommitsAtOnce) {
    MediaAction first = held(0);
    doubleClickCell(0, 15);
    ComboBox ra{cellEditor(L"ComboBox")};
    ASSERT_NE(ra.hwnd, nullptr);
    EXPECT_TRUE(SendMessageW(ra.hwnd, CB_GETDROPPEDSTATE, 0, 0));
    int index = ra.selection();
    EXPECT_EQ(ra.item(index), cell(0, 15));
    ASSERT_LT(index, 15);
    SendMessageW(ra.hwnd, WM_KEYDOWN, VK_DOWN, 0);  // the next item, chosen in the open list
    pump(20);
    EXPECT_EQ(std::tuple(IsWindow(ra.hwnd), cell(0, 15)), std::tuple(FALSE, ResistorsA[index + 1].name));
    std::uint16_t next = ResistorsA[index + 1].code;
    first.bytes[7] = next & 0xFF, first.bytes[8] = (first.bytes[8] & 0x80) | next >> 8;
    EXPECT_EQ(WritesSince(logStart), Lines{SentRow(0, first)});
}

// The combo editor does not commit on focus loss: a click on another tab throws it away.
TEST_F(ConnectedTest, ATabClickDiscardsAnOpenComboEdit) {
    doubleClickCell(0, 1);
    HWND editor = cellEditor(L"ComboBox"), tabs = control(IDC_ACTIONS_TAB);
    ASSERT_NE(editor, nullptr);
    SetWindowTextW(editor, L"0x19");
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 5, item.top + 5));
    EXPECT_EQ(std::tuple(IsWindow(editor), status()), std::tuple(FALSE, L"Gear actions loaded."));
    Lines writes = (pump(200), WritesSince(logStart));  // the Gears table read, nothing written
    EXPECT_TRUE(writes.size() == 1 && writes[0].starts_with("0B ->")) << testing::PrintToString(writes);
}

TEST_F(ConnectedTest, SettingControlsReachTheModuleAndShowItsValues) {
    bool repeat = !program->view.isChecked(IDC_FULL_REPEAT);
    ComboBox{control(IDC_RB_DEFAULT)}.select(0);
    // A field typed into before the press (a combo box: `press` is the item chosen), the text typed, what is
    // pressed, the request the module gets and the status shown.
    const std::tuple<int, const wchar_t*, int, std::vector<std::uint8_t>, const wchar_t*> cases[] = {
        // These two read everything back afterwards; the table's text stays.
        {0, L"", IDC_LOAD_FROM_DEVICE, {0x05}, L"Media actions loaded."},
        {0, L"", IDC_RESET, {0x13}, L"Media actions loaded."},
        {0, L"", IDC_SAVE_TO_DEVICE, {0x04}, L"Config saved to module."},
        {IDC_MAX_BRIGHTNESS, L"55", IDC_MAX_BRIGHTNESS_SET, {0x07, 55}, L"Max brightness set."},
        {IDC_IR_CODE, L"0x12345678", IDC_IR_SEND, {0x06, 0x78, 0x56, 0x34, 0x12}, L"IR code sent"},
        {IDC_IR_PERIOD, L"250", IDC_IR_PERIOD_SET, {0x10, 0xFA, 0x00}, L"IR period set."},
        {0, L"", IDC_FULL_REPEAT, {0x0F, repeat}, L"IR full repeat toggled."},
        {IDC_RA_DEFAULT, L"", 3, {0x15, 0x04, 0x00}, L"Default resistance updated."},
        {IDC_RB_DEFAULT, L"", 1, {0x15, 0x04, 0x80}, L"Default resistance updated."},
    };
    for (const auto& [field, typed, press, request, shown] : cases) {
        SCOPED_TRACE(testing::PrintToString(request));
        std::size_t from = LogMark();
        if (field == IDC_RA_DEFAULT || field == IDC_RB_DEFAULT) {  // as the box reports a choice
            ComboBox{control(field)}.select(press);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(field, CBN_SELENDOK), reinterpret_cast<LPARAM>(control(field)));
        } else {
            if (field) SetWindowTextW(control(field), typed);
            click(press);
        }
        Lines writes = WritesSince(from);
        EXPECT_EQ(std::tuple(status(), writes.empty() ? "" : writes[0]), std::tuple(shown, Accepted(request)));
    }
    click(IDC_CONNECT);
    for (int id : {IDC_MAX_BRIGHTNESS, IDC_IR_PERIOD}) SetWindowTextW(control(id), L"");
    ASSERT_TRUE(connect());
    EXPECT_EQ(std::tuple(text(IDC_MAX_BRIGHTNESS), text(IDC_IR_PERIOD), program->view.isChecked(IDC_FULL_REPEAT),
                         ComboBox{control(IDC_RA_DEFAULT)}.selection(), ComboBox{control(IDC_RB_DEFAULT)}.selection()),
              std::tuple(L"55", L"250", repeat, 3, 1));
}

// Only a confirmed choice in a default-resistance box sends it, and only the poll timer's ticks poll.
TEST_F(ConnectedTest, OtherComboNotificationsAndTimersSendNothing) {
    ComboBox{control(IDC_RA_DEFAULT)}.select(3);
    KillTimer(window, POLL_TIMER_ID);
    pump(300);  // a tick already queued is handled before the mark
    std::size_t from = LogMark();
    for (int field : {IDC_RA_DEFAULT, IDC_RB_DEFAULT})
        for (WORD code : {CBN_SELCHANGE, CBN_CLOSEUP, CBN_SELENDCANCEL, CBN_DROPDOWN})
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(field, code), reinterpret_cast<LPARAM>(control(field)));
    SendMessageW(window, WM_TIMER, POLL_TIMER_ID + 1, 0);
    EXPECT_EQ(LogMark(), from);
    SendMessageW(window, WM_TIMER, POLL_TIMER_ID, 0);
    Lines log = (LogMark(), ModuleLog());
    ASSERT_EQ(log.size(), from + 2);
    EXPECT_TRUE(log[from].starts_with("02 ->") && log[from + 1].starts_with("03 ->")) << log[from];
}

// The name saved without its type gets ".cfg"; the file opened under that name gives the module the saved
// configuration back. What either command does without a connection is the controller's, tested natively.
TEST_F(ConnectedTest, SaveWritesTheFileAndOpenRestoresIt) {
    std::wstring base = RunFile(L"saved-config"), path = base + L".cfg";
    std::filesystem::remove(std::filesystem::path(path));
    const std::vector<std::wstring> types{L"Config Files (*.cfg)", L"All Files (*.*)"};
    EXPECT_EQ(fileCommand(IDM_FILE_SAVE, base), types);
    EXPECT_EQ(status(), L"Config saved successfully");
    const ModuleConfig saved = program->app.module.held;
    std::uint8_t brightness = saved.settings.maxBrightness;
    SetWindowTextW(control(IDC_MAX_BRIGHTNESS), brightness == 42 ? L"43" : L"42");
    click(IDC_MAX_BRIGHTNESS_SET);
    doubleClickCell(0, 5);  // the L2 line of the first Media row
    ASSERT_EQ(status(), L"Action updated");
    std::size_t from = LogMark();
    EXPECT_EQ(fileCommand(IDM_FILE_OPEN, path), types);
    EXPECT_EQ(status(), L"Media actions loaded.");
    EXPECT_EQ(text(IDC_MAX_BRIGHTNESS), std::to_wstring(std::min<unsigned>(brightness, 100)));
    Lines writes = (LogMark(), WritesSince(from, 8));
    for (const std::string& restored : {Accepted({0x07, brightness}), SentRow(0, saved.media[0])})
        EXPECT_EQ(std::ranges::count(writes, restored), 1) << restored;
}
