// Several modules at once: one line per port in the order given, then the
// count, and the highest of the ports' statuses.

#include <signal.h>

#include "cli/file_names.h"
#include "tests/cli/cli_harness.h"

namespace {

using enum FaultKind;

// The file korvelctl kept a port's configuration in, in the folder "kept" of `files`: the one named after the port.
std::wstring KeptFor(const ScratchFiles& files, const VirtualModule& module) {
    const std::string prefix = ToUtf8(PortFileName(PortOf(module))) + "-";
    std::wstring found;
    for (const auto& entry : std::filesystem::directory_iterator(files.dir / "kept"))
        if (entry.path().filename().string().starts_with(prefix)) found = WidenBytes(entry.path().string());
    return found;
}

const std::wstring kRestored = L" Restored 4 settings and 4 tables from ";
const std::wstring kWaysBack = L"To put back what the ports left part-way had before:\n";

TEST(SeveralPorts, RestoreGoesOnOnEveryModulePastARefusalAndAHangUp) {
    ScratchFiles files;
    const std::wstring file = files.write("f.cfg", FactoryConfig());
    VirtualModule a(OtherContents()), b(OtherContents()), c(OtherContents()), d(OtherContents());
    b.addFault({.kind = Refuse, .command = cmd::setHornAction, .status = 9});
    c.addFault({.kind = HangUp, .command = cmd::setGearAction});
    const std::wstring pa = PortOf(a), pb = PortOf(b), pc = PortOf(c), pd = PortOf(d);
    const CliRun run = RunCli({L"--port", pa, L"--port", pb, L"--port", pc, L"--port", pd, L"restore", file,
                               L"--keep-previous", files.path("kept")});
    const std::wstring ka = KeptFor(files, a), kb = KeptFor(files, b), kc = KeptFor(files, c), kd = KeptFor(files, d);
    auto keptIn = [](const std::wstring& path) { return L"Kept the module's previous configuration in " + path + L"."; };
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(WithoutSeconds(run.out),
              pa + L": " + keptIn(ka) + kRestored + file + L"; the module read them back the same. (S s)\n" +
              pd + L": " + keptIn(kd) + kRestored + file + L"; the module read them back the same. (S s)\n"
              L"The modules return to their stored configurations at their next power-up unless 'korvelctl --port " +
              pa + L" --port " + pd + L" store' is run.\n");
    // The ways back of the ports left part-way come together after the count.
    EXPECT_EQ(WithoutSeconds(run.err),
              pb + L": " + keptIn(kb) + L" Restore stopped: the module refused Horn row 0, response: 9. (S s)\n" +
              pc + L": " + keptIn(kc) + L" Restore stopped at Gears row 0: lost the line to the module on " + pc +
              L" (read failed). (S s)\n4 ports: 2 done, 2 failed (" + pb + L", " + pc + L")\n" + kWaysBack +
              L"korvelctl --port " + pb + L" restore " + kb + L"\nkorvelctl --port " + pc + L" restore " + kc + L"\n");
    EXPECT_EQ(a.config(), FactoryConfig());
    EXPECT_EQ(d.config(), FactoryConfig());
    for (const std::wstring& k : {ka, kb, kc, kd}) EXPECT_EQ(Kept(k), OtherContents()) << ToUtf8(k);
}

TEST(SeveralPorts, EachCommandGivesOneLinePerPortInTheOrderGivenThenTheCount) {
    ScratchFiles files;
    const std::wstring factory = files.write("f.cfg", FactoryConfig());
    const std::wstring info =
        L"Max brightness (0-100): 17; IR Period (ms): 999; Full Repeat: on; RA default: 3.9 k\u2126; RB default: "
        L"22 \u2126; Media rows: 13; Gears rows: 4; Horn rows: 1; ACC rows: 7";
    const std::wstring silent = L"The module on {b} answered fewer bytes than expected.";
    const struct {
        std::vector<std::wstring> args;  // after the two ports {a} and {b}
        Fault fault;                     // on {b}
        int status;
        std::wstring out, err;
    } cases[] = {
        {{L"info"}, {.kind = Silence, .command = cmd::getGearActions}, 4, L"{a}: " + info + L" (S s)\n",
         L"{b}: " + silent + L" (S s)\n2 ports: 1 done, 1 failed ({b})\n"},
        {{L"info", L"--json"}, {.kind = Silence, .command = cmd::getGearActions}, 4,
         L"{\"port\": \"{a}\", \"status\": 0, \"seconds\": S, \"lines\": [\"" + info + L"\"], \"info\": {\"settings\": "
         L"{\"maxBrightness\": 17, \"irFullRepeat\": true, \"irRepeatPeriod\": 999, \"defaultResistance\": "
         L"{\"ra\": \"3.9 k\u2126\", \"rb\": \"22 \u2126\"}}, "
         L"\"rows\": {\"media\": 13, \"gears\": 4, \"horn\": 1, \"acc\": 7}}}\n"
         L"{\"port\": \"{b}\", \"status\": 4, \"seconds\": S, \"lines\": [\"" + silent + L"\"]}\n", L""},
        {{L"set", L"brightness", L"60"}, {.kind = Refuse, .command = cmd::setMaxBrightness, .status = 3}, 1,
         L"{a}: Max brightness is 60. (S s)\nThe module returns to its stored configuration at its next power-up unless "
         L"'korvelctl --port {a} store' is run.\n",
         L"{b}: The module refused max brightness 60, response: 3; max brightness is unchanged. (S s)\n"
         L"2 ports: 1 done, 1 failed ({b})\n"},
        {{L"store"}, {.times = 0}, 0, L"{a}: The running configuration is stored in the module. (S s)\n"
         L"{b}: The running configuration is stored in the module. (S s)\n2 ports: 2 done, 0 failed\n", L""},
        {{L"restore", L"--dry-run", factory}, {.kind = HangUp, .command = cmd::getMediaActions}, 4,
         L"{a}: Restoring " + factory + L" would change 4 settings and 25 rows: Max brightness (0-100): 17 -> 80; IR "
         L"Period (ms): 999 -> 100; Full Repeat: on -> off; RA default: 3.9 k\u2126 -> none; RB default: 22 \u2126 -> "
         L"none; Media rows 0-12; Gears rows 0-3; Horn row 0; ACC rows 0-6. (S s)\n",
         L"{b}: Lost the line to the module on {b} (read failed). (S s)\n"
         L"2 ports: 1 would change, 0 unchanged, 1 failed ({b})\n"},
    };
    for (const auto& c : cases) {
        VirtualModule a(OtherContents()), b(OtherContents());
        b.addFault(c.fault);
        std::vector<std::wstring> args = {L"--port", PortOf(a), L"--port", PortOf(b)};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = RunCli(args);
        auto expanded = [&](const std::wstring& t) { return Expanded(t, {{L"{a}", PortOf(a)}, {L"{b}", PortOf(b)}}); };
        const std::string name = ToUtf8(c.args[0]) + " " + ToUtf8(c.args.back());
        EXPECT_EQ(run.status, c.status) << name;
        EXPECT_EQ(WithoutSeconds(run.out), expanded(c.out)) << name;
        EXPECT_EQ(WithoutSeconds(run.err), expanded(c.err)) << name;
    }
}

TEST(SeveralPorts, BackupWritesOneFileNamedAfterEachPort) {
    const struct { const wchar_t *file, *port, *named; } names[] = {
        {L"factory.cfg", L"/dev/ttyUSB0", L"factory-ttyUSB0.cfg"},
        {L"factory.cfg", L"COM3", L"factory-COM3.cfg"},
        {L"dir.d/factory", L"\\\\.\\COM10", L"dir.d/factory-COM10"},
        {L"/tmp/f.json", L"/dev/pts/3", L"/tmp/f-pts_3.json"},
        {L".cfg", L"/tmp/my link:1", L".cfg-tmp_my_link_1"},
    };
    for (const auto& n : names)
        EXPECT_EQ(FileForPort(n.file, n.port), n.named) << ToUtf8(n.file) << " " << ToUtf8(n.port);

    ScratchFiles files;
    VirtualModule a(OtherContents()), b;
    const CliRun run = RunCli({L"--port", PortOf(a), L"--port", PortOf(b), L"backup", files.path("b.cfg")});
    EXPECT_EQ(run.status, 0) << ToUtf8(run.err);
    EXPECT_EQ(Kept(FileForPort(files.path("b.cfg"), PortOf(a))), OtherContents());
    EXPECT_EQ(Kept(FileForPort(files.path("b.cfg"), PortOf(b))), FactoryConfig());
    EXPECT_FALSE(std::filesystem::exists(files.dir / "b.cfg"));
}

// Whether `pid` has a SIGINT that no thread has taken yet.
bool InterruptPending(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("ShdPnd:")) return std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGINT - 1));
    return false;
}

// Ctrl+C while two modules are each inside an exchange and a third is done.
// Each finishes the exchange under way, sends nothing more, and says where it
// stopped; the count names them, then what puts back those left part-way.
TEST(SeveralPorts, CtrlCStopsEachModuleBetweenTwoExchanges) {
    ScratchFiles files;
    const std::string file = ToUtf8(files.write("f.cfg", FactoryConfig()));
    VirtualModule a(OtherContents()), b(OtherContents()), c(OtherContents());
    a.addFault({.kind = Late, .command = cmd::setGearAction, .delayMs = ScaledMs(1000)});
    b.addFault({.kind = Late, .command = cmd::setHornAction, .delayMs = ScaledMs(1000)});
    const pid_t child = StartProgram(files, {"--port", a.portPath(), "--port", b.portPath(), "--port", c.portPath(),
                                             "--settle", "0", "--no-keep-previous", "restore", file});
    ASSERT_GT(child, 0);
    // The reads, the settings, then the rows, up to and including the first Gears and Horn rows.
    const ModuleConfig& f = FactoryConfig();
    const std::size_t toGear = 8 + 4 + f.media.size() + 1, toHorn = toGear + f.gears.size();
    const std::size_t whole = toHorn - 1 + f.horn.size() + f.acc.size() + 8;
    AwaitUpTo([&] { return a.exchangeCount() == toGear && b.exchangeCount() == toHorn && c.exchangeCount() == whole; });
    kill(child, SIGINT);
    const std::string pa = a.portPath(), pb = b.portPath(), pc = c.portPath();
    const auto [status, out, err] = Ended(files, child);
    EXPECT_EQ(std::make_tuple(status, WithoutSeconds(out), WithoutSeconds(err)),
              std::make_tuple(130,
                              pc + ": Restored 4 settings and 4 tables from " + file + "; the module read them back "
                              "the same. (S s)\nThe module returns to its stored configuration at its next power-up "
                              "unless 'korvelctl --port " + pc + " store' is run.\n",
                              pa + ": Restore interrupted before Gears row 1. (S s)\n" + pb +
                              ": Restore interrupted before ACC row 0. (S s)\n3 ports: 1 done, 0 failed, 2 interrupted (" +
                              pa + ", " + pb + ")\n" + ToUtf8(kWaysBack) + pa + ": nothing was kept to put back.\n" + pb +
                              ": nothing was kept to put back.\n"));
    // Nothing after the exchange under way, and that one whole.
    EXPECT_EQ(a.exchangeCount(), toGear);
    EXPECT_EQ(b.exchangeCount(), toHorn);
    EXPECT_EQ(a.exchanges().back().reply, std::vector<std::uint8_t>{0});
    EXPECT_EQ(b.exchanges().back().reply, std::vector<std::uint8_t>{0});
}

// A second Ctrl+C ends korvelctl at once, inside an exchange, and still says
// how to put back the module it left part-way. It is sent once the first has
// been taken, so that the two cannot merge into one.
TEST(SeveralPorts, ASecondCtrlCEndsAtOnceAndSaysHowToPutBackWhatIsLeftPartWay) {
    ScratchFiles files;
    const std::string file = ToUtf8(files.write("f.cfg", FactoryConfig()));
    VirtualModule a(OtherContents());
    a.addFault({.kind = Late, .command = cmd::setGearAction, .delayMs = ScaledMs(3000)});
    const pid_t child = StartProgram(files, {"--port", a.portPath(), "--settle", "0", "--keep-previous",
                                             ToUtf8(files.path("kept")), "restore", file});
    ASSERT_GT(child, 0);
    AwaitUpTo([&] { return a.exchangeCount() == 8 + 4 + FactoryConfig().media.size() + 1; });  // the first Gears row
    kill(child, SIGINT);
    AwaitUpTo([&] { return !InterruptPending(child); });
    kill(child, SIGINT);
    const std::string kept = ToUtf8(KeptFor(files, a));
    EXPECT_EQ(Ended(files, child),
              std::make_tuple(130, "Kept the module's previous configuration in " + kept + ".\n",
                              ToUtf8(kWaysBack) + "korvelctl --port " + a.portPath() + " restore " + kept + "\n"));
    EXPECT_EQ(Kept(WidenBytes(kept)), OtherContents());
}

}  // namespace
