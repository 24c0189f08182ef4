// The settings controls and the File menu's Save and Open commands against
// the virtual module on COM7, with the real common file dialogs.
#include "window_driver.h"

#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "actions/catalogues.h"
#include "app/win32/combo_box.h"

namespace {

// The first logged reply to a one-byte read command since `from`, as bytes.
std::vector<unsigned> ReplyTo(std::size_t from, const char* command) {
    std::vector<std::string> log = ModuleLog("com7");
    for (std::size_t i = from; i < log.size(); ++i) {
        if (log[i].rfind(std::string(command) + " ->", 0) != 0) continue;
        std::vector<unsigned> bytes;
        unsigned byte = 0;
        int used = 0;
        const char* p = log[i].c_str() + std::string(command).size() + 3;
        while (std::sscanf(p, " %x%n", &byte, &used) == 1) {
            bytes.push_back(byte);
            p += used;
        }
        return bytes;
    }
    return {};
}

std::vector<std::uint8_t> FileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Answers a file dialog: the file type list's texts are kept, `name` goes into
// the file name field and the dialog is confirmed.
struct FileDialogAnswer {
    std::wstring name;
    std::vector<std::wstring> types;
    bool seen = false;

    void operator()(HWND dialog) {
        seen = true;
        ComboBox typeList{GetDlgItem(dialog, cmb1)};
        for (int i = 0; i < typeList.count(); ++i) types.push_back(typeList.item(i));
        HWND field = GetDlgItem(dialog, edt1);
        if (!field) field = GetDlgItem(dialog, cmb13);
        SetWindowTextW(field, name.c_str());
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
};

}  // namespace

class SettingsAndFilesTest : public MainWindowTest {
protected:
    // Runs a File menu command whose dialog gets `answer`.
    void fileCommand(int id, FileDialogAnswer& answer) {
        WithDialog(window, std::ref(answer), [&] { command(id); });
    }
};

TEST_F(SettingsAndFilesTest, ConnectShowsTheModulesSettings) {
    std::size_t from = LogMark();
    ASSERT_TRUE(connect());
    pump(100);
    std::vector<unsigned> brightness = ReplyTo(from, "08"), fullRepeat = ReplyTo(from, "11"),
                          resistance = ReplyTo(from, "14"), period = ReplyTo(from, "12");
    ASSERT_EQ(brightness.size(), 1u);
    ASSERT_EQ(fullRepeat.size(), 1u);
    ASSERT_EQ(resistance.size(), 2u);
    ASSERT_EQ(period.size(), 2u);
    EXPECT_EQ(text(IDC_MAX_BRIGHTNESS), std::to_wstring(std::min(brightness[0], 100u)));
    EXPECT_EQ(program->view.isChecked(IDC_FULL_REPEAT), fullRepeat[0] != 0);
    EXPECT_EQ(text(IDC_IR_PERIOD), std::to_wstring(period[0] | period[1] << 8));
    unsigned value = resistance[0] | resistance[1] << 8;
    int ra = 0;
    for (int i = 1; i < 16; ++i)
        if (ResistorsA[i].code == (value & 0x7FFF)) ra = i;
    EXPECT_EQ(ComboBox{control(IDC_RA_DEFAULT)}.selection(), ra);
    EXPECT_EQ(ComboBox{control(IDC_RB_DEFAULT)}.selection(), (value & 0x8000) ? 1 : 0);
}

TEST_F(SettingsAndFilesTest, SettingControlsReachTheModule) {
    ASSERT_TRUE(connect());
    bool fullRepeatOn = program->view.isChecked(IDC_FULL_REPEAT);
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::uint8_t> request;
        std::wstring status;
    };
    auto typeAndPress = [this](int field, const wchar_t* value, int button) {
        return [=, this] {
            SetWindowTextW(control(field), value);
            click(button);
        };
    };
    // A choice in one of the default-resistance combo boxes, as the box reports it.
    auto choose = [this](int id, int index, WORD code) {
        return [=, this] {
            ComboBox{control(id)}.select(index);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control(id)));
        };
    };
    ComboBox{control(IDC_RB_DEFAULT)}.select(0);
    std::vector<Case> cases = {
        {"max brightness", typeAndPress(IDC_MAX_BRIGHTNESS, L"55", IDC_MAX_BRIGHTNESS_SET), {0x07, 55},
         L"Max brightness set."},
        {"IR code", typeAndPress(IDC_IR_CODE, L"0x12345678", IDC_IR_SEND), {0x06, 0x78, 0x56, 0x34, 0x12},
         L"IR code sent"},
        {"IR period", typeAndPress(IDC_IR_PERIOD, L"250", IDC_IR_PERIOD_SET), {0x10, 0xFA, 0x00}, L"IR period set."},
        {"full repeat", [this] { click(IDC_FULL_REPEAT); }, {0x0F, static_cast<std::uint8_t>(fullRepeatOn ? 0 : 1)},
         L"IR full repeat toggled."},
        {"RA default", choose(IDC_RA_DEFAULT, 3, CBN_SELENDOK), {0x15, 0x04, 0x00}, L"Default resistance updated."},
        {"RB default", choose(IDC_RB_DEFAULT, 1, CBN_SELENDOK), {0x15, 0x04, 0x80}, L"Default resistance updated."},
        {"store", [this] { click(IDC_SAVE_TO_DEVICE); }, {0x04}, L"Config saved to module."},
        // These two read everything back afterwards; the table's text stays.
        {"reload", [this] { click(IDC_LOAD_FROM_DEVICE); }, {0x05}, L"Media actions loaded."},
        {"reset", [this] { click(IDC_RESET); }, {0x13}, L"Media actions loaded."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t from = LogMark();
        c.act();
        EXPECT_EQ(status(), c.status);
        std::vector<std::string> writes = WritesSince(from);
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes[0], Accepted(c.request));
    }
    // The combo boxes act on the confirmed choice only.
    std::size_t from = LogMark();
    choose(IDC_RA_DEFAULT, 5, CBN_SELCHANGE)();
    choose(IDC_RB_DEFAULT, 0, CBN_SELCHANGE)();
    pump(200);
    EXPECT_EQ(WritesSince(from, 0), std::vector<std::string>{});
}

TEST_F(SettingsAndFilesTest, SaveAndOpenNeedAConnectionAndShowNoDialog) {
    struct Case {
        int id;
        std::wstring status;
    };
    for (const Case& c : {Case{IDM_FILE_SAVE, L"No device connected, cannot save config."},
                          Case{IDM_FILE_OPEN, L"No device connected, cannot load config."}}) {
        FileDialogAnswer answer;
        fileCommand(c.id, answer);
        EXPECT_FALSE(answer.seen);
        EXPECT_EQ(status(), c.status);
    }
}

// Save through the real dialog, change the module, then open the file again:
// the module gets the saved settings back.
TEST_F(SettingsAndFilesTest, SaveWritesTheFileAndOpenRestoresIt) {
    ASSERT_TRUE(connect());
    std::wstring base = RunFile(L"saved-config"), path = base + L".cfg";
    std::filesystem::remove(std::filesystem::path(path));

    FileDialogAnswer save{base, {}, false};
    fileCommand(IDM_FILE_SAVE, save);
    ASSERT_TRUE(save.seen);
    EXPECT_EQ(save.types, (std::vector<std::wstring>{L"Config Files (*.cfg)", L"All Files (*.*)"}));
    EXPECT_EQ(status(), L"Config saved successfully");
    std::vector<std::uint8_t> file = FileBytes(path);
    const ActionsPage& page = program->app.page;
    std::size_t rows9 = page.mediaActions.size() + page.gearActions.size() + page.hornActions.size();
    ASSERT_EQ(file.size(), 30 + 9 * rows9 + 10 * page.accActions.size());
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8),
              (std::vector<std::uint8_t>{0x7E, 0x41, 0x59, 0x4E, 0x02, 0x00, 0x00, 0x00}));
    std::uint8_t savedBrightness = file[file.size() - 3];

    SetWindowTextW(control(IDC_MAX_BRIGHTNESS), savedBrightness == 42 ? L"43" : L"42");
    click(IDC_MAX_BRIGHTNESS_SET);
    ASSERT_EQ(status(), L"Max brightness set.");
    ASSERT_FALSE(page.mediaActions.empty());
    doubleClickCell(0, 5);  // the L2 line of the first Media row
    ASSERT_EQ(status(), L"Action updated");

    std::size_t from = LogMark();
    FileDialogAnswer open{path, {}, false};
    fileCommand(IDM_FILE_OPEN, open);
    ASSERT_TRUE(open.seen);
    EXPECT_EQ(open.types, save.types);
    EXPECT_EQ(status(), L"Media actions loaded.");
    EXPECT_EQ(text(IDC_MAX_BRIGHTNESS), std::to_wstring(std::min<unsigned>(savedBrightness, 100)));
    LogMark();  // the log catches up with the whole sequence
    std::vector<std::string> writes = WritesSince(from, 8);
    ASSERT_GE(writes.size(), 8u);
    EXPECT_EQ(writes[0].rfind("10 ", 0), 0u) << writes[0];
    EXPECT_EQ(writes[1].rfind("12 ->", 0), 0u) << writes[1];
    EXPECT_EQ(writes[4], Accepted({0x07, savedBrightness}));
    // The first Media record goes back as the file holds it (after the 12 bytes
    // of magic, version and count).
    std::vector<std::uint8_t> firstRow{0x01, 0x00};
    firstRow.insert(firstRow.end(), file.begin() + 12, file.begin() + 21);
    EXPECT_NE(std::find(writes.begin(), writes.end(), Accepted(firstRow)), writes.end());
}
