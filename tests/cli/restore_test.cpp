// restore's way back: the module's configuration kept before anything is
// written; and --dry-run, which only reads.

#include <cstdlib>
#include <optional>

#include "cli/config_text.h"
#include "cli/file_names.h"
#include "tests/cli/cli_harness.h"

namespace {

// The environment without a variable, or with it set to `value`, for the
// life of the object.
struct Environment {
    Environment(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* was = std::getenv(name)) before = was;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~Environment() { before ? ::setenv(name, before->c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> before;
};

// The module's configuration kept in the user's data folder; with none, and no
// home either, nothing is sent.
TEST(Restore, KeepsThePreviousConfigurationInTheUsersDataFolderOrSendsNothing) {
    ScratchFiles files;
    const std::filesystem::path folder = PrivateHome() / "korvel" / "previous";
    std::filesystem::remove_all(folder);
    VirtualModule module(OtherContents());
    ModuleConfig config = FactoryConfig();
    config.settings.maxBrightness = 100;  // the most the module takes
    const std::wstring file = files.path("f.json");
    ASSERT_EQ(RunCli({L"convert", files.write("f.cfg", config), file}).status, 0);
    const CliRun run = RunCli({L"@", L"restore", file}, &module);
    ASSERT_EQ(run.status, 0) << ToUtf8(run.err);
    ASSERT_EQ(module.config(), config);
    // Named as the last test below shows.
    const std::vector<std::filesystem::directory_entry> kept(std::filesystem::directory_iterator(folder), {});
    ASSERT_EQ(kept.size(), 1u);
    const std::wstring path = WidenBytes(kept[0].path().string());
    EXPECT_EQ(Lines(run.out).at(0), L"Kept the module's previous configuration in " + path + L".");
    EXPECT_EQ(Kept(path), OtherContents());
    const Environment data("XDG_DATA_HOME", std::nullopt), home("HOME", "");
    VirtualModule other;
    const CliRun homeless = RunCli({L"@", L"restore", file}, &other);
    EXPECT_EQ(std::tie(homeless.status, homeless.out, homeless.err),
              std::make_tuple(3, L"", L"Restore stopped before opening a port: no folder to keep the module's previous "
                                      L"configuration in ($XDG_DATA_HOME/korvel/previous or ~/.local/share/korvel/"
                                      L"previous); give --keep-previous DIR or --no-keep-previous.\n"));
    EXPECT_EQ(other.exchangeCount(), 0u);
}

// A dry run reads and prints, and writes nothing anywhere: no folder for
// kept configurations, and none needed when the environment names none.
TEST(Restore, DryRunPrintsWhatItWouldChangeModuleToFileAndOnlyReads) {
    ScratchFiles files;
    const std::wstring file = files.write("f.cfg", FactoryConfig());
    ModuleConfig changed = FactoryConfig();
    changed.settings.maxBrightness = 60;
    changed.media[2].bytes[1] ^= 0x01;
    const std::optional<std::string> dataHome = ToUtf8(files.path("data"));
    const std::wstring changes = Joined(DiffLines(DiffConfigs(changed, FactoryConfig())));
    for (const bool environment : {true, false}) {
        const Environment data("XDG_DATA_HOME", environment ? dataHome : std::nullopt);
        const Environment home("HOME", environment ? dataHome : std::nullopt);
        VirtualModule module(changed);
        const CliRun run = RunCli({L"@", L"restore", L"--dry-run", file}, &module);
        const std::wstring expected =
            L"Restoring " + file + L" would change on " + PortOf(module) + L" (- module, + file):\n" + changes;
        EXPECT_EQ(std::tie(run.status, run.out, run.err), std::make_tuple(1, expected, L""));
        // The header, a setting, and a table: its title, the columns, two rows.
        EXPECT_EQ(Lines(run.out).size(), 6u);
        EXPECT_EQ(Sent(module), kReadAll);
        EXPECT_FALSE(std::filesystem::exists(files.dir / "data"));
    }
}

// Two restores in the same second: two kept files, named so that they sort
// in time order, the first still the module's configuration from before
// either; kept lists them newest first, and --prune keeps the newest of each port.
TEST(Restore, TwoRestoresInOneSecondKeepTwoFilesWhichKeptListsAndPrunes) {
    ScratchFiles files;
    const std::wstring folder = files.path("kept");
    VirtualModule a(OtherContents()), b(OtherContents());
    ModuleConfig third = FactoryConfig();
    third.settings.maxBrightness = 3;
    const auto sameSecond = [] { return std::time_t{1773483302}; };
    // The last changes nothing, and keeps nothing.
    for (const auto& [module, config] :
         {std::pair{&a, FactoryConfig()}, std::pair{&a, third}, std::pair{&b, third}, std::pair{&b, third}}) {
        const CliRun run = RunCli({L"@", L"restore", files.write("f.cfg", config), L"--keep-previous", folder}, module,
                                  listSerialPorts, sameSecond);
        ASSERT_EQ(run.status, 0) << ToUtf8(run.err);
    }
    std::vector<std::filesystem::path> kept(std::filesystem::directory_iterator(files.dir / "kept"), {});
    std::sort(kept.begin(), kept.end());
    const std::string portA = ToUtf8(PortFileName(PortOf(a))), portB = ToUtf8(PortFileName(PortOf(b)));
    std::tm local{};
    const std::time_t when = sameSecond();
    localtime_r(&when, &local);
    char stamp[32], time[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &local);
    const std::filesystem::path a1 = files.dir / "kept" / (portA + "-" + stamp + ".cfg"),
                                a2 = files.dir / "kept" / (portA + "-" + stamp + "_02.cfg"),
                                b1 = files.dir / "kept" / (portB + "-" + stamp + ".cfg");
    ASSERT_EQ(kept, (portA < portB ? std::vector{a1, a2, b1} : std::vector{b1, a1, a2}));
    EXPECT_EQ(Kept(WidenBytes(a1.string())), OtherContents());
    EXPECT_EQ(Kept(WidenBytes(a2.string())), FactoryConfig());
    const std::wstring width(std::max(portA.size(), portB.size()), L' ');
    auto line = [&](const std::string& port, const std::filesystem::path& path) {
        return WidenBytes(port) + width.substr(port.size()) + L"  " + WidenBytes(time) + L"  " +
               WidenBytes(path.string()) + L"\n";
    };
    const CliRun listed = RunCli({L"kept", L"--keep-previous", folder});
    EXPECT_EQ(std::tie(listed.status, listed.out, listed.err),
              std::make_tuple(0, line(portA, a2) + (portA < portB ? line(portA, a1) + line(portB, b1)
                                                                  : line(portB, b1) + line(portA, a1)),
                              L""));
    const CliRun pruned = RunCli({L"kept", L"--prune", L"1", L"--keep-previous", folder});
    EXPECT_EQ(std::tie(pruned.status, pruned.out, pruned.err),
              std::make_tuple(0, L"Removed " + WidenBytes(a1.string()) + L".\nKept the newest 1 of each port in " +
                                     folder + L"; removed 1 file.\n", L""));
    EXPECT_FALSE(std::filesystem::exists(a1));
}

}  // namespace
