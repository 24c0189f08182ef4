// Against the virtual module on COM7 through the real window: editing the
// tables in place, the settings controls, and File > "Save..." and "Open..."
// with the real common file dialogs.
#include "window_driver.h"

#include <dlgs.h>

#include <algorithm>
#include <iterator>

#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "device/protocol.h"

namespace {

// The module's log line for Media row `row` sent as `record`.
std::string SentRow(int row, const MediaAction& record) {
    std::vector<std::uint8_t> request{cmd::setMediaAction, static_cast<std::uint8_t>(row)};
    for (std::uint8_t byte : record.bytes) request.push_back(byte);
    return Accepted(request);
}

}  // namespace

class ConnectedTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(connect());
        logStart = LogMark();
    }
    std::wstring cell(int row, int column) const { return program->view.listCell(row, column); }
    MediaAction held(int row) const { return program->app.page.mediaActions.at(row); }
    void clickTab(int index) {
        RECT item{};
        SendMessageW(control(IDC_ACTIONS_TAB), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(control(IDC_ACTIONS_TAB), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(control(IDC_ACTIONS_TAB), WM_LBUTTONUP, 0, at);
        pump(50);
    }
    // Runs a File menu command and answers its dialog with `name`; the dialog's file types, none without one.
    std::vector<std::wstring> fileCommand(int id, const std::wstring& name) {
        std::vector<std::wstring> types;
        auto answer = [&](HWND dialog) {
            for (ComboBox list{GetDlgItem(dialog, cmb1)}; types.size() < std::size_t(list.count());)
                types.push_back(list.item(static_cast<int>(types.size())));
            SetWindowTextW(GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13), name.c_str());
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        };
        WithDialog(window, answer, [&] { command(id); });
        return types;
    }
    std::size_t logStart = 0;
};

// The Button combo and the IR edit field, each ended by Return, by a press on
// the window's background and by Escape.
TEST_F(ConnectedTest, EditorsCommitOnReturnAndBackgroundPressesButNotOnEscape) {
    struct Case {
        int row, column;
        WPARAM key;  // 0: a press on the background
        const wchar_t* typed;
        std::wstring shown;          // after a commit
        void (*edit)(MediaAction&);  // nullptr: nothing changes
    };
    auto button = [](MediaAction& r) { r.bytes[0] = 0x19; };
    auto ir = [](MediaAction& r) { r.bytes[1] = 0x34, r.bytes[2] = 0x12, r.bytes[3] = r.bytes[4] = 0; };
    const std::wstring voice = FormatButton(Media, 0x19);
    const Case cases[] = {{1, 1, VK_RETURN, L"0x19", voice, button},    {2, 1, 0, L"0x19", voice, button},
                          {3, 1, VK_ESCAPE, L"0x19", L"", nullptr},     {1, 2, VK_RETURN, L"0x1234", L"0x1234", ir},
                          {2, 2, 0, L"0x1234", L"0x1234", ir},          {3, 2, VK_ESCAPE, L"0x1234", L"", nullptr}};
    std::vector<std::wstring> catalogue, items;
    for (const CodeName& entry : MediaButtons) catalogue.push_back(FormatCatalogueEntry(Media, entry.name, entry.code));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << ", column " << c.column << ", key " << c.key);
        MediaAction record = held(c.row);
        std::wstring before = cell(c.row, c.column);
        std::size_t from = LogMark();
        doubleClickCell(c.row, c.column);
        HWND editor = cellEditor(c.column == 1 ? L"ComboBox" : L"Edit");
        ASSERT_NE(editor, nullptr);
        COMBOBOXINFO parts;
        HWND field = ComboBox{editor}.info(parts) ? parts.hwndItem : editor;
        EXPECT_EQ(WindowText(field), before);
        if (c.column == 1) {
            EXPECT_EQ(GetWindowLongW(editor, GWL_STYLE) & 3, CBS_DROPDOWN);
            for (items.clear(); items.size() < std::size_t(ComboBox{editor}.count());)
                items.push_back(ComboBox{editor}.item(static_cast<int>(items.size())));
            EXPECT_EQ(items, catalogue);
        }
        SetWindowTextW(field, c.typed);
        c.key ? (void)SendMessageW(field, WM_KEYDOWN, c.key, 0) : pressBackground();
        EXPECT_FALSE(IsWindow(editor));
        EXPECT_EQ(cell(c.row, c.column), c.edit ? c.shown : before);
        EXPECT_TRUE(!c.edit || status() == L"Action updated") << status();
        if (c.edit) c.edit(record);
        pump(200);
        EXPECT_EQ(WritesSince(from, c.edit ? 1 : 0), c.edit ? Lines{SentRow(c.row, record)} : Lines{});
    }
}

TEST_F(ConnectedTest, ChoosingAnRaItemAndDoubleClickingAFlagCommitAtOnce) {
    MediaAction first = held(0), third = held(2);
    doubleClickCell(0, 15);
    ComboBox ra{cellEditor(L"ComboBox")};
    ASSERT_NE(ra.hwnd, nullptr);
    EXPECT_EQ(std::tuple(GetWindowLongW(ra.hwnd, GWL_STYLE) & 3, SendMessageW(ra.hwnd, CB_GETDROPPEDSTATE, 0, 0)),
              std::tuple(CBS_DROPDOWNLIST, TRUE));
    int index = ra.selection();
    EXPECT_EQ(ra.item(index), cell(0, 15));
    ASSERT_LT(index, 15);
    SendMessageW(ra.hwnd, WM_KEYDOWN, VK_DOWN, 0);  // the next item, chosen in the open list
    pump(20);
    EXPECT_EQ(std::tuple(IsWindow(ra.hwnd), cell(0, 15)), std::tuple(FALSE, ResistorsA[index + 1].name));
    std::uint16_t next = ResistorsA[index + 1].code;
    first.bytes[7] = next & 0xFF, first.bytes[8] = (first.bytes[8] & 0x80) | next >> 8;

    std::wstring flag = cell(2, 4);
    doubleClickCell(2, 4);
    EXPECT_EQ(cell(2, 4), flag == CheckMark ? L"" : CheckMark);
    third.bytes[5] ^= 0x01;
    EXPECT_EQ(WritesSince(logStart, 2), (Lines{SentRow(0, first), SentRow(2, third)}));
}

// The combo editor does not commit on focus loss: a click on another tab throws its text away.
TEST_F(ConnectedTest, SwitchingTabsDiscardsAnOpenEdit) {
    doubleClickCell(0, 1);
    HWND combo = cellEditor(L"ComboBox");
    ASSERT_NE(combo, nullptr);
    SetWindowTextW(combo, L"0x19");
    clickTab(1);
    EXPECT_EQ(std::tuple(IsWindow(combo), status()), std::tuple(FALSE, L"Gear actions loaded."));
    Lines writes = WritesSince(logStart);  // getGearActions only
    EXPECT_TRUE(writes.size() == 1 && writes[0].starts_with("0B ->")) << testing::PrintToString(writes);
}

TEST_F(ConnectedTest, IndexColumnAndSpaceBelowTheRowsOpenNothing) {
    auto noEditor = [this] { return !cellEditor(L"Edit") && !cellEditor(L"ComboBox"); };
    doubleClickCell(0, 0);
    EXPECT_TRUE(noEditor());
    clickTab(2);  // the Horn table has too few rows to fill the list
    RECT client{}, column = cellRect(0, 1);
    GetClientRect(list(), &client);
    ASSERT_LT(cellRect(program->view.listRowCount() - 1, 1).bottom, client.bottom - 10);
    doubleClickAt((column.left + column.right) / 2, client.bottom - 5);
    pump(200);
    EXPECT_EQ(std::tuple(noEditor(), status()), std::tuple(true, L"Horn actions loaded."));
    Lines writes = WritesSince(logStart);  // getHornActions only
    EXPECT_TRUE(writes.size() == 1 && writes[0].starts_with("0A ->")) << testing::PrintToString(writes);
}

// Each control sends its command; then a new connection shows what the module holds.
TEST_F(ConnectedTest, SettingControlsReachTheModuleAndShowItsValues) {
    auto typeAndPress = [this](int field, const wchar_t* value, int button) {
        return [=, this] { SetWindowTextW(control(field), value), click(button); };
    };
    auto choose = [this](int id, int index) {  // a choice in a combo box, as the box reports it
        return [=, this] {
            ComboBox{control(id)}.select(index);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(control(id)));
        };
    };
    bool repeat = !program->view.isChecked(IDC_FULL_REPEAT);
    ComboBox{control(IDC_RB_DEFAULT)}.select(0);
    const std::tuple<std::function<void()>, std::vector<std::uint8_t>, std::wstring> cases[] = {
        // These two read everything back afterwards; the table's text stays.
        {[this] { click(IDC_LOAD_FROM_DEVICE); }, {0x05}, L"Media actions loaded."},
        {[this] { click(IDC_RESET); }, {0x13}, L"Media actions loaded."},
        {[this] { click(IDC_SAVE_TO_DEVICE); }, {0x04}, L"Config saved to module."},
        {typeAndPress(IDC_MAX_BRIGHTNESS, L"55", IDC_MAX_BRIGHTNESS_SET), {0x07, 55}, L"Max brightness set."},
        {typeAndPress(IDC_IR_CODE, L"0x12345678", IDC_IR_SEND), {0x06, 0x78, 0x56, 0x34, 0x12}, L"IR code sent"},
        {typeAndPress(IDC_IR_PERIOD, L"250", IDC_IR_PERIOD_SET), {0x10, 0xFA, 0x00}, L"IR period set."},
        {[this] { click(IDC_FULL_REPEAT); }, {0x0F, repeat}, L"IR full repeat toggled."},
        {choose(IDC_RA_DEFAULT, 3), {0x15, 0x04, 0x00}, L"Default resistance updated."},
        {choose(IDC_RB_DEFAULT, 1), {0x15, 0x04, 0x80}, L"Default resistance updated."},
    };
    for (const auto& [act, request, shown] : cases) {
        SCOPED_TRACE(testing::PrintToString(request));
        std::size_t from = LogMark();
        act();
        EXPECT_EQ(status(), shown);
        Lines writes = WritesSince(from);
        EXPECT_EQ(writes.empty() ? "" : writes[0], Accepted(request));
    }
    click(IDC_CONNECT);
    for (int id : {IDC_MAX_BRIGHTNESS, IDC_IR_PERIOD}) SetWindowTextW(control(id), L"");
    ASSERT_TRUE(connect());
    EXPECT_EQ(std::tuple(text(IDC_MAX_BRIGHTNESS), text(IDC_IR_PERIOD), program->view.isChecked(IDC_FULL_REPEAT),
                         ComboBox{control(IDC_RA_DEFAULT)}.selection(), ComboBox{control(IDC_RB_DEFAULT)}.selection()),
              std::tuple(L"55", L"250", repeat, 3, 1));
}

// Without a connection neither command opens a dialog. Then: save through the
// real dialog, change the module, open the file again: the module gets the
// saved settings back.
TEST_F(ConnectedTest, SaveWritesTheFileAndOpenRestoresIt) {
    click(IDC_CONNECT);
    EXPECT_EQ(fileCommand(IDM_FILE_SAVE, L"x"), std::vector<std::wstring>{});
    EXPECT_EQ(status(), L"No device connected, cannot save config.");
    EXPECT_EQ(fileCommand(IDM_FILE_OPEN, L"x"), std::vector<std::wstring>{});
    EXPECT_EQ(status(), L"No device connected, cannot load config.");
    ASSERT_TRUE(connect());
    std::wstring base = RunFile(L"saved-config"), path = base + L".cfg";
    std::filesystem::remove(std::filesystem::path(path));
    const std::vector<std::wstring> types{L"Config Files (*.cfg)", L"All Files (*.*)"};
    EXPECT_EQ(fileCommand(IDM_FILE_SAVE, base), types);
    EXPECT_EQ(status(), L"Config saved successfully");
    std::ifstream saved(std::filesystem::path(path), std::ios::binary);
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    const ActionsPage& page = program->app.page;
    std::size_t rows = page.mediaActions.size() + page.gearActions.size() + page.hornActions.size();
    ASSERT_EQ(file.size(), 30 + 9 * rows + 10 * page.accActions.size());
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8),
              (std::vector<std::uint8_t>{0x7E, 0x41, 0x59, 0x4E, 0x02, 0x00, 0x00, 0x00}));
    std::uint8_t brightness = file[file.size() - 3];

    SetWindowTextW(control(IDC_MAX_BRIGHTNESS), brightness == 42 ? L"43" : L"42");
    click(IDC_MAX_BRIGHTNESS_SET);
    doubleClickCell(0, 5);  // the L2 line of the first Media row
    ASSERT_EQ(status(), L"Action updated");
    std::size_t from = LogMark();
    EXPECT_EQ(fileCommand(IDM_FILE_OPEN, path), types);
    EXPECT_EQ(status(), L"Media actions loaded.");
    EXPECT_EQ(text(IDC_MAX_BRIGHTNESS), std::to_wstring(std::min<unsigned>(brightness, 100)));
    // The first Media record as the file holds it, after 12 bytes of magic, version and count.
    std::vector<std::uint8_t> firstRow{cmd::setMediaAction, 0};
    firstRow.insert(firstRow.end(), file.begin() + 12, file.begin() + 21);
    Lines writes = (LogMark(), WritesSince(from, 8));
    for (const std::string& restored : {Accepted({0x07, brightness}), Accepted(firstRow)})
        EXPECT_EQ(std::ranges::count(writes, restored), 1) << restored;
}
