// File > "Save..." and "Open..." against virtual modules, through the
// in-memory window's file dialogs.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/file_commands.h"
#include "device/serial_link.h"
#include "settings/sync.h"
#include "tests/config/bad_files.h"
#include "tests/settings/connected_app.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A module whose tables have the factory lengths but other contents and settings.
ModuleConfig Altered(std::uint8_t seed) {
    ModuleConfig c = FactoryConfig();
    auto fill = [seed](auto& table) {
        for (std::size_t row = 0; row < table.size(); ++row)
            for (std::size_t i = 0; i < table[row].bytes.size(); ++i)
                table[row].bytes[i] = static_cast<std::uint8_t>(seed + 7 * row + i);
    };
    fill(c.media);
    fill(c.gears);
    fill(c.horn);
    fill(c.acc);
    c.maxBrightness = static_cast<std::uint8_t>(seed % 100);
    c.irFullRepeat = seed & 1;
    c.irRepeatPeriod = static_cast<std::uint16_t>(seed * 101);
    c.defaultResistance = static_cast<std::uint16_t>(0x8000 | 1 << (seed % 15));
    return c;
}

ConfigData AsFile(const ModuleConfig& c) {
    return {c.media, c.gears, c.horn, c.acc,
            HeldSettings{c.maxBrightness, c.irFullRepeat != 0, c.irRepeatPeriod, c.defaultResistance}};
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvel-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::wstring path(const char* name) const { return (dir_ / name).wstring(); }
    void put(const char* name, const Bytes& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    }
    Bytes slurp(const char* name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::filesystem::path dir_;
};

TEST_F(FileCommands, BothNeedAConnectionAndShowNoDialogWithout) {
    ConnectedApp t;
    t.app.link.connected = false;
    t.view.saveAnswers.push_back(path("x.cfg"));
    t.view.openAnswers.push_back(path("x.cfg"));
    SaveConfigCommand(t.app);
    EXPECT_EQ(t.status(), L"No device connected, cannot save config.");
    OpenConfigCommand(t.app);
    EXPECT_EQ(t.status(), L"No device connected, cannot load config.");
    EXPECT_EQ(t.view.saveDialogsShown + t.view.openDialogsShown, 0);
    EXPECT_EQ(t.module.exchangeCount(), 0u);
}

TEST_F(FileCommands, SaveFromOneModuleAndOpenIntoAnotherMakesThemEqual) {
    ConnectedApp first(Altered(11));
    SyncAllFromModule(first.app);  // the held settings, as after a connect
    first.view.saveAnswers.push_back(path("backup.cfg"));
    SaveConfigCommand(first.app);
    EXPECT_EQ(first.status(), L"Config saved successfully");
    const ModuleConfig source = first.module.config();
    const Bytes file = slurp("backup.cfg");
    EXPECT_EQ(file.size(), 30 + 9 * (source.media.size() + source.gears.size() + source.horn.size()) +
                               10 * source.acc.size());
    EXPECT_EQ(file, EncodeConfig(AsFile(source)));

    ConnectedApp second(Altered(40));
    ASSERT_NE(second.module.config(), source);
    second.view.openAnswers.push_back(path("backup.cfg"));
    OpenConfigCommand(second.app);
    EXPECT_EQ(second.module.config(), source);
    EXPECT_EQ(second.status(), L"Media actions loaded.");
    EXPECT_EQ(second.app.held, AsFile(source).settings);
    EXPECT_EQ(second.view.getText(IDC_MAX_BRIGHTNESS), std::to_wstring(source.maxBrightness));
}

TEST_F(FileCommands, SaveRefreshesTheTablesButNotTheSettings) {
    ConnectedApp t(Altered(3));
    const HeldSettings held{12, true, 34, 0x0040};
    t.app.held = held;
    t.view.saveAnswers.push_back(path("s.cfg"));
    SaveConfigCommand(t.app);
    EXPECT_EQ(t.requests(), Requests({{0x00}, {0x0B}, {0x0A}, {0x09}}));
    ConfigData expected = AsFile(t.module.config());
    expected.settings = held;
    EXPECT_EQ(slurp("s.cfg"), EncodeConfig(expected));
}

TEST_F(FileCommands, OpenSendsEachSettingThenReadsItBackThenTheTables) {
    ConnectedApp t(Altered(5));
    ConfigData data = AsFile(Altered(5));
    data.settings = {0x32, true, 0x1234, 0x8004};
    put("o.cfg", EncodeConfig(data));
    t.view.openAnswers.push_back(path("o.cfg"));
    OpenConfigCommand(t.app);
    const Requests got = t.requests();
    const Requests settings = {{0x10, 0x34, 0x12}, {0x12}, {0x0F, 0x01}, {0x11},
                               {0x07, 0x32},       {0x08}, {0x15, 0x04, 0x80}, {0x14}};
    ASSERT_GT(got.size(), settings.size());
    EXPECT_EQ(Requests(got.begin(), got.begin() + 8), settings);
    const std::size_t rows = data.media.size() + data.gears.size() + data.horn.size() + data.acc.size();
    ASSERT_EQ(got.size(), 8 + rows + 1);
    EXPECT_EQ(got[8][0], 0x01);  // the first Media row
    EXPECT_EQ(got[8][1], 0x00);
    EXPECT_EQ(got.back(), Bytes{0x00});
}

TEST_F(FileCommands, ABrightnessAboveHundredIsSentAsReadAndHeldAsTheModuleReports) {
    ConnectedApp t;
    ConfigData data = AsFile(t.module.config());
    data.settings.g_maxBrightness = 200;
    put("b.cfg", EncodeConfig(data));
    t.view.openAnswers.push_back(path("b.cfg"));
    OpenConfigCommand(t.app);
    EXPECT_EQ(t.requests()[4], (Bytes{0x07, 200}));
    EXPECT_EQ(t.app.held.g_maxBrightness, 100);
    EXPECT_EQ(t.view.getText(IDC_MAX_BRIGHTNESS), L"100");
}

TEST_F(FileCommands, ACancelledOpenStillSendsTheHeldConfiguration) {
    ConnectedApp t(Altered(60));
    const ConfigData held = AsFile(Altered(9));
    ReplaceHeldConfig(t.app, held);
    OpenConfigCommand(t.app);
    EXPECT_EQ(t.view.openDialogsShown, 1);
    EXPECT_EQ(t.module.config(), Altered(9));
    EXPECT_EQ(HeldConfig(t.app).settings, held.settings);
    EXPECT_EQ(t.status(), L"Media actions loaded.");
}

TEST_F(FileCommands, ARejectedFileStillSendsTheHeldConfiguration) {
    ConnectedApp t(Altered(60));
    ReplaceHeldConfig(t.app, AsFile(Altered(9)));
    put("short.cfg", Bytes{0x7E, 0x41, 0x59});
    t.view.openAnswers.push_back(path("short.cfg"));
    OpenConfigCommand(t.app);
    EXPECT_EQ(t.module.config(), Altered(9));
    EXPECT_EQ(t.status(), L"Media actions loaded.");
}

TEST_F(FileCommands, ATransportFailureInASetCommandEndsTheSequence) {
    ConnectedApp t;
    Fault silent;
    silent.command = 0x0F;
    t.module.addFault(silent);
    EXPECT_THROW(OpenConfigCommand(t.app), ProtocolError);
    EXPECT_EQ(t.requests().size(), 3u);  // period, its read-back, full repeat

    t.module.clearExchanges();
    t.module.addFault(silent);
    RunGuarded(t.app, [&] { OpenConfigCommand(t.app); });
    EXPECT_EQ(t.status(), L"Protocol error occured: Fewer bytes than expected.");
    EXPECT_EQ(t.requests().size(), 3u);
}

TEST_F(FileCommands, AFileThatCannotBeLoadedChangesNothingHeld) {
    for (const BadFile& bad : BadConfigFiles(EncodeConfig(AsFile(Altered(2))))) {
        SCOPED_TRACE(bad.what);
        ConnectedApp t;
        const ConfigData before = AsFile(Altered(77));
        ReplaceHeldConfig(t.app, before);
        put("bad.cfg", bad.bytes);
        t.view.openAnswers.push_back(path("bad.cfg"));
        LoadConfigFile(t.app);
        EXPECT_EQ(t.status(), bad.text);
        EXPECT_EQ(HeldConfig(t.app), before);
    }
    ConnectedApp t;
    t.view.openAnswers.push_back(path("absent.cfg"));
    LoadConfigFile(t.app);
    EXPECT_EQ(t.status(), L"Failed to open file for loading");
}

TEST_F(FileCommands, ALoadReplacesEverythingSilentlyAndTrailingBytesDoNotMatter) {
    ConnectedApp t;
    ConfigData data = AsFile(Altered(21));
    data.horn.clear();
    Bytes file = EncodeConfig(data);
    file.insert(file.end(), {0xDE, 0xAD});
    put("t.cfg", file);
    t.view.setText(IDC_STATUS, L"before");
    t.view.openAnswers.push_back(path("t.cfg"));
    LoadConfigFile(t.app);
    EXPECT_EQ(HeldConfig(t.app), data);
    EXPECT_EQ(t.status(), L"before");
    EXPECT_EQ(t.module.exchangeCount(), 0u);
}

TEST_F(FileCommands, SaveFailuresAndCancelLeaveTheirMark) {
    ConnectedApp t;
    t.view.saveAnswers.push_back(path("no/such/dir/x.cfg"));
    SaveConfigCommand(t.app);
    EXPECT_EQ(t.status(), L"Failed to open file for saving");

    t.view.setText(IDC_STATUS, L"before");
    SaveConfigFile(t.app);  // no answer queued: the dialog is cancelled
    EXPECT_EQ(t.status(), L"before");
    EXPECT_EQ(t.view.saveDialogsShown, 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

}  // namespace
