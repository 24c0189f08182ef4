// Every command's outcome and exit status against a virtual module holding
// OtherContents(): the first request, the text printed, nothing sent for a bad
// command line or file; the order of every exchange of the commands that send
// several; watch and its poll rate; and the program run by a shell, with its
// standard output kept for results.

#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "app/resource_ids.h"
#include "cli/arguments.h"
#include "tests/cli/cli_harness.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

using enum FaultKind;
Fault F(FaultKind kind, int command, std::uint8_t status = 1, int times = 1) {
    return {.kind = kind, .command = command, .status = status, .times = times};
}

struct Case {
    std::vector<std::wstring> args;  // "@": on the module; "%name": a scratch file
    int status;
    std::wstring text;   // on standard output for status 0, else on standard error (for 5 its start)
    Bytes request = {};  // the first request; none: nothing sent (checked for status 0, 2 and 3)
    Fault fault = {.times = 0};
};

const Case kCases[] = {
    {{L"@", L"set", L"brightness", L"0x64"}, 0, L"Max brightness set.", {0x07, 0x64}},
    {{L"@", L"set", L"period", L"65536"}, 0, L"IR period set.", {0x10, 0x00, 0x00}},
    {{L"@", L"set", L"full-repeat", L"on"}, 0, L"IR full repeat toggled.", {0x0F, 0x01}},
    {{L"@", L"set", L"full-repeat", L"off"}, 0, L"IR full repeat toggled.", {0x0F, 0x00}},
    {{L"@", L"set", L"resistance", L"3.9 k\u2126", L"22 \u03A9"}, 0, L"Default resistance updated.", {0x15, 4, 0x80}},
    {{L"@", L"send-ir", L"0xFFFFFFFFF"}, 0, L"IR code sent", {0x06, 0xFF, 0xFF, 0xFF, 0xFF}},
    {{L"@", L"store"}, 0, L"Config saved to module.", {0x04}},
    {{L"@", L"reload"}, 0, L"Config loaded from module.", {0x05}},
    {{L"@", L"reset"}, 0, L"Default config restored.", {0x13}},
    {{L"@", L"info"}, 0, L"Max brightness (0-100): 17\nIR Period (ms): 999\nFull Repeat: on\nRA default: 3.9 k\u2126\n"
                         L"RB default: 22 \u2126\nMedia rows: 13\nGears rows: 4\nHorn rows: 1\nACC rows: 7", {0x12}},
    {{L"@", L"info", L"--json"}, 0, L"{\"settings\": {\"maxBrightness\": 17, \"irFullRepeat\": true, "
     L"\"irRepeatPeriod\": 999, \"defaultResistors\": 32772}, \"rows\": {\"media\": 13, \"gears\": 4, \"horn\": 1, "
     L"\"acc\": 7}}", {0x12}},
    {{L"@", L"store"}, 1, L"Save failed, response: 3", {}, F(Refuse, cmd::saveConfig, 3)},
    {{L"@", L"restore", L"%f"}, 1, L"IR period set failed, response: 2", {}, F(Refuse, cmd::setIRRepeatPeriod, 2)},
    {{L"@", L"restore", L"%f"}, 1, L"Failed writing horn action 0", {}, F(Refuse, cmd::setHornAction, 9)},
    {{}, 2, L"korvelctl: no command given"},
    {{L"info"}, 2, L"korvelctl: info needs --port"},
    {{L"diff", L"a.cfg"}, 2, L"korvelctl: wrong number of operands for diff"},
    {{L"@", L"set", L"full-repeat", L"yes"}, 2, L"korvelctl: full-repeat is on or off"},
    {{L"@", L"set", L"resistance", L"3.9k", L""}, 2, L"korvelctl: no RA value 3.9k"},
    {{L"@", L"set", L"brightness", L"101"}, 2, L"Invalid max brightness (0-100)."},
    {{L"@", L"send-ir", L"zz"}, 2, L"Invalid IR to send."},
    {{L"show", L"%missing"}, 3, L"Failed to open file for loading"},
    {{L"@", L"restore", L"%magic"}, 3, L"Invalid config file"},
    {{L"@", L"restore", L"%overlong"}, 3, L"Gears table has more than 255 rows; nothing written."},
    {{L"@", L"backup", L"/nonexistent-folder/x.cfg"}, 3, L"Failed to open file for saving", {0x12}},
    {{L"--port", L"/dev/korvel-no-such-port", L"info"}, 4, L"Connection failed."},
    {{L"@", L"info"}, 4, L"Serial error occured: Read failed.", {}, F(HangUp, cmd::getMediaActions)},
    {{L"@", L"watch"}, 4, L"Protocol error occured: Fewer bytes than expected.", {},
     F(Silence, cmd::getPressedButtons)},
    {{L"@", L"set", L"brightness", L"7"}, 4, L"Max brightness set failed (exception).", {},
     F(Silence, cmd::setMaxBrightness)},
    {{L"@", L"restore", L"%f"}, 4, L"Writing actions to device failed (exception).", {},
     F(Silence, cmd::setGearAction)},
    // A module that answers 0 without keeping the first two ACC rows; the start of the text.
    {{L"@", L"restore", L"%f"}, 5, L"Read back differs from the file (- file, + module):\nACC\n   Index  Button    "
     L"       IR          Repeat  L1  L2  L3  L4  H1  H2  H3  H4  Toggle  Invert  Store  RA     RB\n-  0      On/Off "
     L"(0x0010)  ", {}, F(Refuse, cmd::setAccAction, 0, 2)},
};

TEST(Commands, EachOutcomeHasItsTextAndExitStatus) {
    ScratchFiles files;
    files.write("f", FactoryConfig()), files.write("magic", {0x4E, 0x41, 0x59, 0x4E, 1, 0, 0, 0});
    files.write("overlong", ModuleConfig{{}, std::vector<GearAction>(256), {}, {}, {}});
    for (Case c : kCases) {
        VirtualModule module(OtherContents());
        module.addFault(c.fault);
        for (auto& arg : c.args)
            if (arg.starts_with(L"%")) arg = files.path(ToUtf8(arg.substr(1)));
        const CliRun run = RunCli(c.args, &module);
        const std::string name = ToUtf8(c.text);
        EXPECT_EQ(run.status, c.status) << name;
        EXPECT_EQ(run.out, c.status == 0 ? c.text + L"\n" : L"") << name;
        const std::wstring err = c.status == 0   ? L""
                                 : c.status == 5 ? c.text
                                                 : c.text + L"\n" + (c.status == 2 ? UsageText() : L"");
        EXPECT_EQ(c.status == 5 ? run.err.substr(0, err.size()) : run.err, err) << name;
        const auto sent = module.exchanges();
        const Bytes first = sent.empty() ? Bytes{} : sent.front().request;
        EXPECT_TRUE(first == c.request || (c.request.empty() && c.status != 2 && c.status != 3))
            << name << " sent " << testing::PrintToString(first);
    }
}

// The command bytes of every request, in order.
Bytes Commands(const VirtualModule& module) {
    Bytes commands;
    for (const Exchange& exchange : module.exchanges()) commands.push_back(exchange.request.at(0));
    return commands;
}

Bytes Repeated(std::uint8_t command, std::size_t times) { return Bytes(times, command); }

Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

TEST(Commands, SendTheirExchangesInTheWindowsOrder) {
    ScratchFiles files;
    const std::wstring factory = files.write("f", FactoryConfig());
    // The settings, then the tables, as a backup and a read-back read them.
    const Bytes readAll = {cmd::getIRRepeatPeriod, cmd::getIRFullRepeat, cmd::getMaxBrightness,
                           cmd::getDefaultResistance, cmd::getMediaActions, cmd::getGearActions,
                           cmd::getHornActions, cmd::getAccActions};
    // What the window reads after a reload or reset: the settings, then the Media table.
    const Bytes sync = {cmd::getMaxBrightness, cmd::getIRFullRepeat, cmd::getDefaultResistance,
                        cmd::getIRRepeatPeriod, cmd::getMediaActions};
    const ModuleConfig& f = FactoryConfig();
    const Bytes writeAll = Repeated(cmd::setMediaAction, f.media.size()) + Repeated(cmd::setGearAction, f.gears.size()) +
                           Repeated(cmd::setHornAction, f.horn.size()) + Repeated(cmd::setAccAction, f.acc.size());
    const Bytes settings = {cmd::setIRRepeatPeriod, cmd::setIRFullRepeat, cmd::setMaxBrightness,
                            cmd::setDefaultResistance};
    const struct {
        std::vector<std::wstring> args;
        Fault fault;
        Bytes commands;
    } cases[] = {
        {{L"@", L"info"}, {.times = 0}, readAll},
        {{L"@", L"backup", files.path("b.cfg")}, {.times = 0}, readAll},
        {{L"@", L"restore", factory}, {.times = 0}, settings + writeAll + readAll},
        {{L"@", L"restore", factory}, F(Refuse, cmd::setMaxBrightness), {cmd::setIRRepeatPeriod, cmd::setIRFullRepeat,
                                                                          cmd::setMaxBrightness}},
        {{L"@", L"restore", factory}, F(Refuse, cmd::setGearAction), settings +
                                                                          Repeated(cmd::setMediaAction, f.media.size()) +
                                                                          Bytes{cmd::setGearAction}},
        {{L"@", L"reload"}, {.times = 0}, Bytes{cmd::loadConfig} + sync},
        {{L"@", L"reset"}, {.times = 0}, Bytes{cmd::resetConfig} + sync},
        {{L"@", L"reload"}, F(Refuse, cmd::loadConfig), {cmd::loadConfig}},
        {{L"@", L"reset"}, F(Refuse, cmd::resetConfig), {cmd::resetConfig}},
    };
    for (const auto& c : cases) {
        VirtualModule module(OtherContents());
        module.addFault(c.fault);
        const CliRun run = RunCli(c.args, &module);
        EXPECT_EQ(Commands(module), c.commands) << ToUtf8(c.args[1]) << " " << run.status << " " << ToUtf8(run.err);
    }
}

TEST(Commands, WatchPrintsOneLinePerChangeAtTheWindowsRate) {
    VirtualModule module;
    module.setLiveChanges(false);
    module.setPressed({0x15, 0x00, 0x01, 0x0100}, 42);
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ScaledMs(1000)));  // several polls see the same
        module.setPressed({0x00, 0x1C, 0x00, 0x0000}, 7);
    });
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = RunCli({L"@", L"watch", L"--count", L"2"}, &module);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    later.join();
    EXPECT_EQ(std::tie(run.status, run.out), std::make_tuple(0, L"Media: 0x15  Gears: 0x00  Horn: 0x01  ACC: 0x0100  "
                                                                L"Current: 42\nMedia: 0x00  Gears: 0x1C  Horn: 0x00  "
                                                                L"ACC: 0x0000  Current: 7\n"));
    // Each poll is getPressedButtons then getCurrentBrightness; the run ends
    // at the poll that saw the change, so its time is that many periods.
    const Bytes commands = Commands(module);
    const auto polls = std::count(commands.begin(), commands.end(), cmd::getPressedButtons);
    ASSERT_GE(polls, 5) << ms;
    EXPECT_EQ(commands.size(), 2u * static_cast<std::size_t>(polls));
    const double period = ms / static_cast<double>(polls - 1);
    EXPECT_TRUE(period >= 190 && period < 240) << period << " ms between polls, 5 Hz wanted";
    // The captions are the window's labels of its five live displays.
    EXPECT_EQ(WindowCaption(IDC_PRESSED_MEDIA) + WindowCaption(IDC_PRESSED_GEARS) + WindowCaption(IDC_PRESSED_HORN) +
                  WindowCaption(IDC_PRESSED_ACC) + WindowCaption(IDC_CURRENT_BRIGHTNESS),
              L"Media:Gears:Horn:ACC:Current:");
}

// The program as a shell runs it: its exit status, standard output and
// standard error, and the seconds it took.
std::tuple<int, std::string, std::string> RunProgram(const ScratchFiles& files, const std::vector<std::string>& args,
                                                     double* seconds = nullptr) {
    std::string line = KORVELCTL_PATH;
    for (const auto& arg : args) line += " '" + arg + "'";
    const std::string out = ToUtf8(files.path("stdout")), err = ToUtf8(files.path("stderr"));
    const auto start = std::chrono::steady_clock::now();
    const int raw = std::system((line + " >'" + out + "' 2>'" + err + "'").c_str());
    if (seconds) *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto slurp = [](const std::string& path) { return (std::ostringstream() << std::ifstream(path).rdbuf()).str(); };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

TEST(Program, SettlesReadsAndWritesUtf8AndExitsWithTheStatus) {
    ScratchFiles files;
    VirtualModule module;
    double seconds = 0;
    EXPECT_EQ(RunProgram(files, {"--port", module.portPath(), "set", "resistance", "4.7 k\xE2\x84\xA6", ""}, &seconds),
              std::make_tuple(0, "Default resistance updated.\n", ""));
    EXPECT_GE(seconds, 2.0);  // and the UTF-8 name found the catalogue's entry

    module.addFault(F(Refuse, cmd::resetConfig, 7));
    EXPECT_EQ(RunProgram(files, {"--port", module.portPath(), "--settle", "300", "reset"}, &seconds),
              std::make_tuple(1, "", "Reset failed, response: 7\n"));
    EXPECT_TRUE(seconds >= 0.3 && seconds < 2.0) << seconds;

    const ModuleConfig one{{MakeRecord<MediaAction>({0x15, 0, 0x01, 0, 0x8004})}, {}, {}, {}, {}};
    const std::string shown = std::get<1>(RunProgram(files, {"show", ToUtf8(files.write("one.cfg", one))}));
    // The check mark under L1, the ohm signs under RA and RB.
    EXPECT_NE(shown.find("\n0      Next (0x15)  0x0          \xE2\x9C\x94"), std::string::npos) << shown;
    EXPECT_NE(shown.find("  3.9 k\xE2\x84\xA6  22 \xE2\x84\xA6\n"), std::string::npos) << shown;
}

TEST(Program, KeepsStandardOutputForItsResultsAndTracesOnlyWhenVerbose) {
    ScratchFiles files;
    VirtualModule module;
    const std::vector<std::string> line = {"--port", module.portPath(), "--settle", "0", "set", "brightness", "5"};
    EXPECT_EQ(RunProgram(files, line), std::make_tuple(0, "Max brightness set.\n", ""));
    std::vector<std::string> verbose = line;
    verbose.push_back("--verbose");
    EXPECT_EQ(RunProgram(files, verbose), std::make_tuple(0, "Max brightness set.\n", "Connecting to COM port.\n"));
    // In-process too, and silent again after a verbose run.
    const CliRun loud = RunCli({L"@", L"--verbose", L"store"}, &module);
    EXPECT_EQ(std::tie(loud.out, loud.err), std::make_tuple(L"Config saved to module.\n", L"Connecting to COM port.\n"));
    const CliRun quiet = RunCli({L"@", L"store"}, &module);
    EXPECT_EQ(std::tie(quiet.out, quiet.err), std::make_tuple(L"Config saved to module.\n", L""));
}

}  // namespace
