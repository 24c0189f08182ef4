// backup and restore: a module's whole configuration into a file and into a
// second module, and every way a restore stops.

#include "device/protocol.h"
#include "tests/cli/cli_harness.h"

namespace {

// Contents unlike the factory's in every table and setting, same row counts.
ModuleConfig OtherContents() {
    ModuleConfig config = FactoryConfig();
    auto scramble = [](auto& table) {
        for (std::size_t i = 0; i < table.size(); ++i)
            for (std::size_t k = 0; k < table[i].bytes.size(); ++k)
                table[i].bytes[k] = static_cast<std::uint8_t>(0xA5 ^ (i * 7 + k));
    };
    scramble(config.media);
    scramble(config.gears);
    scramble(config.horn);
    scramble(config.acc);
    config.maxBrightness = 17;
    config.irFullRepeat = 1;
    config.irRepeatPeriod = 999;
    config.defaultResistance = 0x8004;
    return config;
}

TEST(BackupRestore, RestoringABackupMakesASecondModuleEqualToTheFirst) {
    ScratchFiles files;
    VirtualModule first;
    VirtualModule second(OtherContents());
    ASSERT_NE(first.config(), second.config());

    const std::wstring file = files.path("first.cfg");
    const CliRun backup = RunCli(OnModule(first, {L"backup", file}));
    ASSERT_EQ(backup.status, 0) << ToUtf8(backup.err);
    EXPECT_EQ(backup.out, L"Config saved successfully\n");

    const CliRun restore = RunCli(OnModule(second, {L"restore", file}));
    ASSERT_EQ(restore.status, 0) << ToUtf8(restore.err);
    EXPECT_EQ(restore.out, L"All actions written to device.\n");
    EXPECT_EQ(second.config(), first.config());
}

TEST(BackupRestore, TheBackupHoldsTheModulesValuesAsTheyAre) {
    ScratchFiles files;
    ModuleConfig config = OtherContents();
    config.maxBrightness = 150;  // the window would cap it at 100
    VirtualModule module(config);
    const std::wstring file = files.path("module.cfg");
    ASSERT_EQ(RunCli(OnModule(module, {L"backup", file})).status, 0);
    ConfigData read;
    ASSERT_FALSE(ReadConfigFile(file, read));
    EXPECT_EQ(read, AsConfigData(config));
}

TEST(BackupRestore, BackupThatCannotWriteItsFileIsAFileError) {
    VirtualModule module;
    const CliRun run = RunCli(OnModule(module, {L"backup", L"/nonexistent-folder/x.cfg"}));
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, L"Failed to open file for saving\n");
}

// Status 3: the codec's text, and the module hears nothing at all.
TEST(BackupRestore, ARejectedFileSendsNothing) {
    ScratchFiles files;
    ConfigData good = AsConfigData(FactoryConfig());
    std::vector<std::uint8_t> bytes = EncodeConfig(good);
    auto with = [&](std::size_t at, std::uint8_t value) {
        auto copy = bytes;
        copy[at] = value;
        return copy;
    };
    struct BadFile {
        std::wstring path;
        const wchar_t* text;
    };
    ConfigData overlong = good;
    overlong.gears.resize(256);
    const BadFile cases[] = {
        {files.path("missing.cfg"), L"Failed to open file for loading"},
        {files.write("short.cfg", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 7)),
         L"Failed to read config header"},
        {files.write("magic.cfg", with(0, 0x4E)), L"Invalid config file"},
        {files.write("version.cfg", with(4, 3)), L"Unsupported config version"},
        {files.write("body.cfg", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1)),
         L"Failed while reading config"},
        {files.write("overlong.cfg", overlong), L"Gears table has more than 255 rows; nothing written."},
    };
    VirtualModule module(OtherContents());
    for (const auto& c : cases) {
        const CliRun run = RunCli(OnModule(module, {L"restore", c.path}));
        EXPECT_EQ(run.status, 3) << ToUtf8(c.text);
        EXPECT_EQ(run.err, std::wstring(c.text) + L"\n");
        EXPECT_EQ(module.exchangeCount(), 0u) << ToUtf8(c.text);
    }
    EXPECT_EQ(module.config(), OtherContents());
}

TEST(BackupRestore, ARefusedSettingOrRowStopsTheRestoreWithStatusOne) {
    ScratchFiles files;
    const std::wstring file = files.write("factory.cfg", AsConfigData(FactoryConfig()));
    {
        VirtualModule module(OtherContents());
        module.addFault(Refuse(cmd::setMaxBrightness, 2));
        const CliRun run = RunCli(OnModule(module, {L"restore", file}));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, L"Max brightness set failed, response: 2\n");
        // Nothing after the refused command went out.
        EXPECT_EQ(module.exchanges().back().request.front(), cmd::setMaxBrightness);
    }
    {
        VirtualModule module(OtherContents());
        module.addFault(Refuse(cmd::setHornAction, 9));
        const CliRun run = RunCli(OnModule(module, {L"restore", file}));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, L"Failed writing horn action 0\n");
    }
}

TEST(BackupRestore, ALineThatDiesWhileWritingIsStatusFour) {
    ScratchFiles files;
    const std::wstring file = files.write("factory.cfg", AsConfigData(FactoryConfig()));
    VirtualModule module(OtherContents());
    module.addFault(Silence(cmd::setGearAction));
    const CliRun run = RunCli(OnModule(module, {L"restore", file}));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, L"Writing actions to device failed (exception).\n");
}

// Status 5: a module that answers 0 without keeping the row.
TEST(BackupRestore, AReadBackThatDiffersIsStatusFiveWithTheFirstDifference) {
    ScratchFiles files;
    const ConfigData factory = AsConfigData(FactoryConfig());
    const std::wstring file = files.write("factory.cfg", factory);
    VirtualModule module(OtherContents());
    Fault ignored = Refuse(cmd::setAccAction, 0);
    ignored.times = 2;
    module.addFault(ignored);
    const CliRun run = RunCli(OnModule(module, {L"restore", file}));
    EXPECT_EQ(run.status, 5);
    const auto lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 5u) << ToUtf8(run.err);
    EXPECT_EQ(lines[0], L"Read back differs from the file (- file, + module):");
    EXPECT_EQ(lines[1], L"ACC");
    EXPECT_EQ(lines[2].substr(0, 12), L"   Index  Bu");
    EXPECT_EQ(lines[3].substr(0, 27), L"-  0      On/Off (0x0010)  ");
    EXPECT_EQ(lines[4].substr(0, 3), L"+  ");
    EXPECT_EQ(lines[4].substr(3, 6), L"0     ");
}

}  // namespace
