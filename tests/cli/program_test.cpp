// The korvelctl program itself: exit statuses as a shell sees them, standard
// output holding the results alone, UTF-8 bytes, and the settle wait.

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "device/protocol.h"
#include "tests/cli/cli_harness.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string out, err;  // the bytes as written
};

std::string Slurp(const std::wstring& path) {
    std::ifstream in(ToUtf8(path), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Runs the program through the shell with each argument in single quotes.
ProgramRun RunProgram(const ScratchFiles& files, const std::vector<std::string>& args) {
    std::string line = KORVELCTL_PATH;
    for (const auto& arg : args) line += " '" + arg + "'";
    const std::wstring out = files.path("stdout"), err = files.path("stderr");
    line += " >'" + ToUtf8(out) + "' 2>'" + ToUtf8(err) + "'";
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
}

TEST(Program, ExitStatusesAsTheShellSeesThem) {
    ScratchFiles files;
    VirtualModule module;
    const std::string port = module.portPath();
    const std::string missing = ToUtf8(files.path("missing.cfg"));

    const ProgramRun ok = RunProgram(files, {"--port", port, "--settle", "0", "info"});
    EXPECT_EQ(ok.status, 0);
    // Only the results: the link's own line on opening a port is not among them.
    EXPECT_EQ(ok.out.rfind("Max brightness (0-100): 80\n", 0), 0u) << ok.out;
    EXPECT_EQ(ok.err, "");

    module.addFault(Refuse(cmd::resetConfig, 7));
    const ProgramRun refused = RunProgram(files, {"--port", port, "--settle", "0", "reset"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Reset failed, response: 7\n");

    const ProgramRun usage = RunProgram(files, {"restore"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err.rfind("korvelctl: wrong number of operands for restore\nusage:\n", 0), 0u);

    const ProgramRun file = RunProgram(files, {"show", missing});
    EXPECT_EQ(file.status, 3);
    EXPECT_EQ(file.err, "Failed to open file for loading\n");

    const ProgramRun noPort = RunProgram(files, {"--port", "/dev/korvel-no-such-port", "--settle", "0", "store"});
    EXPECT_EQ(noPort.status, 4);
    EXPECT_EQ(noPort.err, "Connection failed.\n");
    EXPECT_EQ(noPort.out, "");
}

TEST(Program, WritesUtf8) {
    ScratchFiles files;
    ConfigData data;
    data.media = {MakeRecord<MediaAction>({0x15, 0, 0x01, 0, 0x8004})};
    const std::string file = ToUtf8(files.write("one.cfg", data));
    const ProgramRun run = RunProgram(files, {"show", file});
    EXPECT_EQ(run.status, 0);
    // The check mark under L1, the ohm signs under RA and RB.
    EXPECT_NE(run.out.find("\n0      Next (0x15)  0x0          \xE2\x9C\x94"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  3.9 k\xE2\x84\xA6  22 \xE2\x84\xA6\n"), std::string::npos) << run.out;
}

TEST(Program, NamesOnTheCommandLineAreReadAsUtf8) {
    ScratchFiles files;
    VirtualModule module;
    const ProgramRun run = RunProgram(
        files, {"--port", module.portPath(), "--settle", "0", "set", "resistance", "4.7 k\xE2\x84\xA6", ""});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(module.config().defaultResistance, 0x0008);
}

// The module's contract: 2000 ms after opening before the first byte, unless
// --settle says otherwise.
TEST(Program, WaitsTheSettleTimeAfterOpening) {
    ScratchFiles files;
    VirtualModule module;
    for (auto [args, least] : {std::pair<std::vector<std::string>, double>{{"store"}, 2.0},
                              {{"--settle", "500", "store"}, 0.5}}) {
        args.insert(args.begin(), {"--port", module.portPath()});
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunProgram(files, args).status, 0);
        EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), least);
    }
}

}  // namespace
