// korvel-sim as a program of its own: the path on its first line, its
// symlink, faults named by command and kept while it runs; every option it
// cannot take refused with one line naming it; a link it cannot make, or that
// a running module holds, refused; a stale link taken over; its announcement
// where korvelctl ports finds it, for as long as it runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include "device/ports_linux.h"
#include "device/protocol.h"
#include "device/serial_link.h"
#include "korvel_version.h"
#include "sim/virtual_module.h"
#include "tests/running_sim.h"
#include "tests/scratch.h"

namespace {

namespace fs = std::filesystem;

std::string In(const Scratch& scratch, const char* name) { return (scratch.dir / name).string(); }

struct SimRun {
    int status;
    std::string out, err;
    bool operator==(const SimRun&) const = default;
};

void PrintTo(const SimRun& run, std::ostream* os) { *os << run.status << " [" << run.out << "] [" << run.err << "]"; }

// korvel-sim run to its end by a shell, with a time limit.
SimRun RunSim(const Scratch& scratch, const std::string& arguments) {
    PrivateHome();
    const std::string out = In(scratch, "stdout"), err = In(scratch, "stderr");
    const int raw = std::system(("timeout 10 " KORVEL_SIM_PATH " " + arguments + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, scratch.read("stdout"), scratch.read("stderr")};
}

TEST(SimProgram, RefusesWhatItCannotDoWithOneLine) {
    Scratch scratch;
    std::ofstream(In(scratch, "file")) << "not a link\n";
    const std::string tryHelp = "Try 'korvel-sim --help'.\n";
    const std::pair<std::string, std::string> cases[] = {
        {"--frob", "korvel-sim: unknown option --frob\n" + tryHelp},
        {"--pace extra", "korvel-sim: unknown option extra\n" + tryHelp},
        {"--link", "korvel-sim: --link needs a value\n" + tryHelp},
        {"--refuse store", "korvel-sim: --refuse store: takes CMD:STATUS\n" + tryHelp},
        {"--refuse stor:3", "korvel-sim: --refuse stor:3: no command 'stor' (korvel-sim --help lists them)\n" + tryHelp},
        {"--refuse 22:3", "korvel-sim: --refuse 22:3: no command '22' (korvel-sim --help lists them)\n" + tryHelp},
        {"--refuse store:256", "korvel-sim: --refuse store:256: STATUS must be a number from 0 to 255 after the colon\n" +
                                   tryHelp},
        {"--silent-on 4:2", "korvel-sim: --silent-on 4:2: takes CMD\n" + tryHelp},
        {"--late 4:-1", "korvel-sim: --late 4:-1: MS must be a number from 0 to 60000 after the colon\n" + tryHelp},
        {"--rows 256", "korvel-sim: --rows 256: N must be a number from 0 to 255\n" + tryHelp},
        {"--hang-up-after x", "korvel-sim: --hang-up-after x: N must be a number from 0 to 1000000\n" + tryHelp},
        // Faults that could never happen to their command.
        {"--refuse 8:3", "korvel-sim: --refuse 8:3: getMaxBrightness answers with data, not a status; only a status "
                         "can be refused\n"},
        {"--refuse getpressedbuttons:1", "korvel-sim: --refuse getpressedbuttons:1: getPressedButtons answers with "
                                         "data, not a status; only a status can be refused\n"},
        {"--short-reply saveConfig:1",
         "korvel-sim: --short-reply saveConfig:1: the reply to saveConfig has 1 byte, so N must be less than 1\n"},
        {"--rows 3 --short-reply getHornActions:28",
         "korvel-sim: --short-reply getHornActions:28: the reply to getHornActions has 28 bytes, so N must be less "
         "than 28\n"},
        {"--hang-up-on 18:3",
         "korvel-sim: --hang-up-on 18:3: the reply to getIRRepeatPeriod has 2 bytes, so N must be at most 2\n"},
        // Files it cannot make.
        {"--link /nonexistent/dir/x", "korvel-sim: cannot make the link /nonexistent/dir/x: No such file or directory\n"},
        {"--link " + In(scratch, "file"), "korvel-sim: " + In(scratch, "file") + " is there and is not a symbolic link\n"},
        {"--log /nonexistent/dir/x", "korvel-sim: cannot open the log /nonexistent/dir/x: No such file or directory\n"},
    };
    for (const auto& [arguments, line] : cases) EXPECT_EQ(RunSim(scratch, arguments), (SimRun{2, "", line})) << arguments;
    EXPECT_EQ(RunSim(scratch, "--version"), (SimRun{0, "korvel-sim " KORVEL_VERSION "\n", ""}));
    const SimRun help = RunSim(scratch, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* part : {"   4 saveConfig ", "  21 setDefaultResistance\n", "store = saveConfig"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    // Faults at the edge of what can happen are taken.
    const char* edge = "--hang-up-on 18:2 --short-reply getIRRepeatPeriod:1 --refuse RESET:0 --hang-up-after 0";
    EXPECT_EQ(RunSim(scratch, edge).status, 0);
}

// A running module serves its line, with its faults for as long as it runs,
// keeps its link from a second one, and announces itself in the user's
// runtime folder, by its link when it has one; announcements of a program that
// has ended, or of a terminal that is gone, are passed over.
TEST(SimProgram, ServesItsLineKeepsItsLinkAnnouncesItselfAndTakesOverAStaleLink) {
    Scratch scratch;
    const std::string link = In(scratch, "module");
    const fs::path folder = PrivateHome() / "run" / "korvel-sim";
    EXPECT_EQ(VirtualModuleFolder(), folder);
    RunningSim first("--rows 255 --refuse STORE:9 --hang-up-after 3 --link " + link);
    RunningSim plain("--hang-up-after 1");
    ASSERT_FALSE(first.pty.empty() || plain.pty.empty());
    EXPECT_EQ(fs::read_symlink(link).string(), first.pty);
    EXPECT_EQ(RunSim(scratch, "--link " + link),
              (SimRun{2, "", "korvel-sim: " + link + " is in use: it links to " + first.pty +
                              ", which is open (another korvel-sim?); stop that one or remove the link\n"}));
    EXPECT_EQ(fs::read_symlink(link).string(), first.pty) << "the running module keeps its link";
    std::ofstream(folder / "999999999") << plain.pty << "\n" << plain.pty << "\n";  // no process has that number
    std::ofstream(folder / std::to_string(getpid())) << "/dev/pts/none\n/dev/pts/none\n";
    std::vector<std::pair<std::string, std::string>> listed;
    for (const PortInfo& port : ListVirtualModulesIn(folder)) listed.emplace_back(port.port, port.friendlyName);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, std::string>>{
                          {plain.pty, "Korvel virtual module (" + plain.pty + ")"},
                          {link, "Korvel virtual module (" + link + ")"}}));
    SerialLink line;
    line.timeouts.settleMs = 0;
    ASSERT_TRUE(line.open(link));
    EXPECT_EQ(readTable<HornAction>(line).size(), 255u);
    EXPECT_EQ(saveConfig(line), 9);
    EXPECT_EQ(saveConfig(line), 9) << "a program's faults last";
    ASSERT_TRUE(line.open(plain.pty));
    EXPECT_EQ(saveConfig(line), 0);
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(plain.wait(), 0);
    EXPECT_FALSE(fs::is_symlink(link));

    // A link whose pseudo-terminal has gone, as a module killed outright
    // leaves it. Not one just closed: any program on the machine may take its
    // number again before korvel-sim looks; none can take a number past the
    // system's limit of pseudo-terminals.
    fs::create_symlink("/dev/pts/999999", link);
    RunningSim second("--hang-up-after 0 --link " + link);
    EXPECT_FALSE(second.pty.empty());
    EXPECT_EQ(second.wait(), 0);
    EXPECT_FALSE(fs::is_symlink(link));
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"999999999", std::to_string(getpid())})) << "each removed its own";
}

}  // namespace
