// The virtual module's own behaviour: its stored copy and factory defaults,
// the record of exchanges, pacing at the line rate, and the korvel-sim program.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "actions/catalogues.h"
#include "module_line.h"

namespace {

using ModuleStore = ModuleLine;

TEST_F(ModuleStore, SaveStoresLoadRestoresResetBringsBackTheFactoryDefaults) {
    EXPECT_EQ(setMaxBrightness(link, 10), 0);
    EXPECT_EQ(saveConfig(link), 0);
    EXPECT_EQ(module.storedConfig().maxBrightness, 10);
    EXPECT_EQ(setMaxBrightness(link, 20), 0);
    EXPECT_EQ(setIRRepeatPeriod(link, 700), 0);
    EXPECT_EQ(loadConfig(link), 0);
    EXPECT_EQ(getMaxBrightness(link), 10);
    EXPECT_EQ(getIRRepeatPeriod(link), FactoryConfig().irRepeatPeriod);
    EXPECT_EQ(resetConfig(link), 0);
    EXPECT_EQ(module.config(), FactoryConfig());
    EXPECT_EQ(module.storedConfig().maxBrightness, 10) << "reset leaves the stored copy alone";
}

TEST(ModuleFactory, HasARowForEveryNamedButton) {
    ModuleConfig c = FactoryConfig();
    ASSERT_EQ(c.media.size(), std::size(MediaButtons) - 1);
    for (std::size_t i = 0; i < c.media.size(); ++i) EXPECT_EQ(FieldsOf(c.media[i]).button, MediaButtons[i + 1].code);
    ASSERT_EQ(c.acc.size(), std::size(AccButtons) - 1);
    for (std::size_t i = 0; i < c.acc.size(); ++i) EXPECT_EQ(FieldsOf(c.acc[i]).button, AccButtons[i + 1].code);
    ASSERT_EQ(c.horn.size(), 1u);
    EXPECT_EQ(FieldsOf(c.horn[0]).button, 0x01);
    EXPECT_FALSE(c.gears.empty());
}

TEST_F(ModuleStore, RecordsEveryRequestAndTheBytesActuallySent) {
    module.addFault({.kind = FaultKind::Silence, .command = cmd::getPressedButtons, .afterBytes = 2});
    module.setPressed({7, 8, 9, 0}, 0);
    EXPECT_THROW(getPressedButtons(link), ProtocolError);
    std::uint8_t noCommand = 99;
    link.writeExact(&noCommand, 1);
    EXPECT_EQ(getIRFullRepeat(link), 0);
    auto all = module.exchanges();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].request, Bytes{2});
    EXPECT_EQ(all[0].reply, (Bytes{7, 8}));
    EXPECT_EQ(all[1].request, Bytes{99}) << "a byte that is no command is recorded and not answered";
    EXPECT_TRUE(all[1].reply.empty());
    EXPECT_EQ(all[2].reply, Bytes{0});
    module.clearExchanges();
    EXPECT_EQ(module.exchangeCount(), 0u);
}

TEST_F(ModuleStore, FaultsApplyInOrderToMatchingCommandsOnly) {
    module.addFault({.kind = FaultKind::Refuse, .command = cmd::saveConfig, .status = 5, .times = 2});
    module.addFault({.kind = FaultKind::Refuse, .command = -1, .status = 6});
    EXPECT_EQ(getMaxBrightness(link), FactoryConfig().maxBrightness) << "a query is never refused";
    EXPECT_EQ(saveConfig(link), 5);
    EXPECT_EQ(saveConfig(link), 5);
    EXPECT_EQ(saveConfig(link), 6);
    EXPECT_EQ(saveConfig(link), 0);
    module.addFault({.kind = FaultKind::Refuse, .status = 4, .times = -1});
    EXPECT_EQ(loadConfig(link), 4);
    EXPECT_EQ(loadConfig(link), 4);
    module.clearFaults();
    EXPECT_EQ(loadConfig(link), 0);
}

TEST_F(ModuleStore, PacedRepliesTakeTheLineTimeOf115200Baud) {
    ModuleConfig config = FactoryConfig();
    config.media.resize(255);
    module.setConfig(config);
    module.setPacing(true);
    link.timeouts.readConstant = 2000;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(getMediaActions(link).size(), 255u);
    double wire = (1 + 255 * 9) * 10 / 115200.0;
    EXPECT_GE(SecondsSince(start), wire - 0.001) << "never faster than the line";
}

TEST(ModuleLink, SymlinkReachesTheLineAndGoesWithTheModule) {
    std::string path = testing::TempDir() + "korvel-module-link-" + std::to_string(getpid());
    {
        VirtualModule module;
        module.linkAt(path);
        module.linkAt(path);  // replacing an existing link
        EXPECT_EQ(std::filesystem::read_symlink(path).string(), module.portPath());
        SerialLink link;
        link.timeouts = ShortTimeouts();
        ASSERT_TRUE(link.open(path));
        EXPECT_EQ(getMaxBrightness(link), FactoryConfig().maxBrightness);
    }
    EXPECT_FALSE(std::filesystem::is_symlink(path));
}

// korvel-sim as another process: the path on its first line, the symlink,
// fault flags, and a clean exit.
struct Program {
    explicit Program(std::vector<std::string> arguments) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        std::fflush(stdout);
        pid = fork();
        if (pid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            close(pipeFds[1]);
            std::vector<char*> argv{const_cast<char*>(KORVEL_SIM_PATH)};
            for (auto& a : arguments) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KORVEL_SIM_PATH, argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        out = fdopen(pipeFds[0], "r");
    }
    ~Program() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out) std::fclose(out);
    }
    std::string firstLine() {
        char line[256] = {};
        if (!out || !std::fgets(line, sizeof line, out)) return {};
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    // Waits for the program to end; its exit status, or -1.
    int wait() {
        int status = 0;
        pid_t ended = waitpid(pid, &status, 0);
        pid = -1;
        return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t pid = -1;
    FILE* out = nullptr;
};

TEST(SimProgram, ServesItsLineUntilTerminated) {
    std::string link = testing::TempDir() + "korvel-sim-program-" + std::to_string(getpid());
    Program sim({"--link", link, "--refuse", "4:9", "--short-reply", "18:1"});
    std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), path);
    {
        SerialLink line;
        line.timeouts = ShortTimeouts();
        ASSERT_TRUE(line.open(link));
        EXPECT_EQ(getMaxBrightness(line), FactoryConfig().maxBrightness);
        EXPECT_EQ(saveConfig(line), 9);
        EXPECT_EQ(saveConfig(line), 9) << "a program's faults last";
        EXPECT_THROW(getIRRepeatPeriod(line), ProtocolError);
    }
    kill(sim.pid, SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link goes with the program";
}

TEST(SimProgram, HangsUpAfterTheGivenExchangesAndExits) {
    Program sim({"--hang-up-after", "1", "--rows", "255"});
    std::string path = sim.firstLine();
    SerialLink line;
    line.timeouts = ShortTimeouts();
    ASSERT_TRUE(line.open(path));
    EXPECT_EQ(getHornActions(line).size(), 255u);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_THROW(getHornActions(line), SerialError);
}

TEST(SimProgram, RefusesUnknownFlags) {
    Program sim({"--no-such-flag", "1"});
    EXPECT_EQ(sim.firstLine(), "");
    EXPECT_EQ(sim.wait(), 2);
}

}  // namespace
