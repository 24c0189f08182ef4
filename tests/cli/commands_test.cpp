// Every command against a virtual module holding OtherContents(): its exact
// lines on standard output and standard error, its exit status, what it sent.

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "cli/arguments.h"
#include "config/config_json.h"
#include "device/port_info.h"
#include "device/ports_linux.h"
#include "korvel_version.h"
#include "settings/live_values.h"
#include "tests/cli/cli_harness.h"
#include "tests/running_sim.h"
#include "vocabulary/resistor_names.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

using enum FaultKind;
Fault F(FaultKind kind, int command, std::uint8_t status = 1, int times = 1) {
    return {.kind = kind, .command = command, .status = status, .times = times};
}
const Fault kNoFault{.times = 0};

// What korvelctl adds after a change to the running configuration alone.
const std::wstring kNotStored =
    L"\nThe module returns to its stored configuration at its next power-up unless 'korvelctl --port {port} store' "
    L"is run.";
const std::wstring kTryHelp = L"\nTry 'korvelctl --help'.";
const std::wstring kForms = L" (also typed as 3.9k, 3k9, 3.9 kOhm or 3.9k\u03A9; 22 for 22 \u2126)";
const std::wstring kRaNames = AcceptedResistorNames(ResistorOutput::Ra) + kForms;
const std::vector<std::wstring> kRestore = {L"@", L"restore", L"--no-keep-previous", L"{dir}/f"};

struct Case {
    std::vector<std::wstring> args;  // "@": --port and the module; "{dir}": the scratch folder
    int status;
    std::wstring out, err = {};  // each line followed by a line end; "{port}" and "{dir}" as in args; 5: the start of err
    Bytes request = {};     // every request's bytes; none: nothing sent (checked for status 2 and 3)
    Fault fault = kNoFault;
};

const Case kCases[] = {
    // Values read strictly, each kept in its range; the settings said as they now hold.
    {{L"@", L"set", L"brightness", L"0x64"}, 0, L"Max brightness is 100." + kNotStored, L"", {0x07, 0x64}},
    {{L"@", L"set", L"brightness", L"010"}, 0, L"Max brightness is 10." + kNotStored, L"", {0x07, 0x0A}},
    {{L"@", L"set", L"brightness", L"08"}, 0, L"Max brightness is 8." + kNotStored, L"", {0x07, 0x08}},
    {{L"@", L"set", L"brightness", L"0"}, 0, L"Max brightness is 0." + kNotStored, L"", {0x07, 0x00}},
    {{L"@", L"set", L"period", L"65535"}, 0, L"IR period is 65535 ms." + kNotStored, L"", {0x10, 0xFF, 0xFF}},
    {{L"@", L"set", L"full-repeat", L"on"}, 0, L"IR full repeat is on." + kNotStored, L"", {0x0F, 0x01}},
    {{L"@", L"set", L"full-repeat", L"off"}, 0, L"IR full repeat is off." + kNotStored, L"", {0x0F, 0x00}},
    {{L"@", L"set", L"resistance", L"3.9 k\u2126", L"22 \u03A9"}, 0,
     L"Default resistance is RA 3.9 k\u2126 and RB 22 \u2126." + kNotStored, L"", {0x15, 0x04, 0x80}},
    {{L"@", L"set", L"resistance", L"", L"none"}, 0, L"Default resistance is RA none and RB none." + kNotStored, L"",
     {0x15, 0x00, 0x00}},
    {{L"@", L"send-ir", L"0xFFFFFFFF"}, 0, L"Sent IR code 0xFFFFFFFF.", L"", {0x06, 0xFF, 0xFF, 0xFF, 0xFF}},
    {{L"@", L"send-ir", L"4660"}, 0, L"Sent IR code 0x1234.", L"", {0x06, 0x34, 0x12, 0x00, 0x00}},
    // The link's trace only when asked, and silent again after.
    {{L"@", L"--verbose", L"store"}, 0, L"The running configuration is stored in the module.",
     L"Connecting to COM port.", {0x04}},
    {{L"@", L"store"}, 0, L"The running configuration is stored in the module.", L"", {0x04}},
    // A reload or reset is its one exchange: korvelctl shows nothing the window would read back.
    {{L"@", L"reload"}, 0, L"The module is back to its stored configuration.", L"", {0x05}},
    {{L"@", L"reset"}, 0, L"The module runs its default configuration." + kNotStored, L"", {0x13}},
    {{L"@", L"info"}, 0, L"Max brightness (0-100): 17\nIR Period (ms): 999\nFull Repeat: on\nRA default: 3.9 k\u2126\n"
     L"RB default: 22 \u2126\nMedia rows: 13\nGears rows: 4\nHorn rows: 1\nACC rows: 7", L"", kReadAll},
    {{L"@", L"info", L"--json"}, 0, L"{\"settings\": {\"maxBrightness\": 17, \"irFullRepeat\": true, "
     L"\"irRepeatPeriod\": 999, \"defaultResistance\": {\"ra\": \"3.9 k\u2126\", \"rb\": \"22 \u2126\"}}, \"rows\": "
     L"{\"media\": 13, \"gears\": 4, \"horn\": 1, \"acc\": 7}}", L"", kReadAll},
    {{L"@", L"backup", L"{dir}/b.cfg"}, 0, L"Saved 4 tables and 4 settings to {dir}/b.cfg.", L"", kReadAll},
    {kRestore, 0, L"Restored 4 settings and 4 tables from {dir}/f; the module read them back the same." + kNotStored},
    {{L"@", L"restore", L"--no-keep-previous", L"--store", L"{dir}/f"}, 0,
     L"Restored 4 settings and 4 tables from {dir}/f; the module read them back the same.\n"
     L"The running configuration is stored in the module."},
    {{L"@", L"restore", L"--dry-run", L"{dir}/held"}, 0, L"The module on {port} already holds {dir}/held; nothing to "
     L"change.", L"", kReadAll},
    {{L"kept", L"--keep-previous", L"{dir}/none"}, 0, L"No kept configurations in {dir}/none."},
    {{L"@", L"restore", L"{dir}/held"}, 0, L"The module on {port} already holds {dir}/held; nothing was written and no "
     L"previous configuration kept.", L"", kReadAll},
    {{L"--version"}, 0, L"korvelctl " KORVEL_VERSION},
    {{L"@", L"info", L"--version"}, 0, L"korvelctl " KORVEL_VERSION},
    // Refusals: what the module kept, and the response's meaning where it is known.
    {{L"@", L"store"}, 1, L"", L"The module refused to store, response: 3; its stored configuration is unchanged.",
     {0x04}, F(Refuse, cmd::saveConfig, 3)},
    {{L"@", L"reload"}, 1, L"", L"The module refused to reload, response: 4; its running configuration is unchanged.",
     {0x05}, F(Refuse, cmd::loadConfig, 4)},
    {{L"@", L"reset"}, 1, L"", L"The module refused to reset, response: 5; its running configuration is unchanged.",
     {0x13}, F(Refuse, cmd::resetConfig, 5)},
    {{L"@", L"set", L"brightness", L"50"}, 1, L"",
     L"The module refused max brightness 50, response: 1; max brightness is unchanged.", {0x07, 0x32},
     F(Refuse, cmd::setMaxBrightness, 1)},
    {{L"@", L"send-ir", L"31"}, 1, L"", L"The module refused to send IR code 0x1F, response: 2.",
     {0x06, 0x1F, 0x00, 0x00, 0x00}, F(Refuse, cmd::sendIR, 2)},
    {kRestore, 1, L"", L"Restore stopped: the module refused IR period 100 ms, response: 1.", {},
     F(Refuse, cmd::setIRRepeatPeriod, 1)},
    {kRestore, 1, L"", L"Restore stopped: the module refused Horn row 0, response: 9.", {},
     F(Refuse, cmd::setHornAction, 9)},
    {kRestore, 1, L"", L"Restore stopped: the module refused ACC row 0, response: 1 (no such row).", {},
     F(Refuse, cmd::setAccAction, 1)},
    {{L"@", L"restore", L"--no-keep-previous", L"--store", L"{dir}/f"}, 1,
     L"Restored 4 settings and 4 tables from {dir}/f; the module read them back the same.",
     L"The module refused to store, response: 3; its stored configuration is unchanged.", {},
     F(Refuse, cmd::saveConfig, 3)},
    // Values refused with their range, in one line, before the port is opened.
    {{L"@", L"set", L"brightness", L"0x"}, 2, L"", L"korvelctl: brightness takes a number from 0 to 100, not '0x'"},
    {{L"@", L"set", L"brightness", L"12abc"}, 2, L"", L"korvelctl: brightness takes a number from 0 to 100, not '12abc'"},
    {{L"@", L"set", L"brightness", L"1e2"}, 2, L"", L"korvelctl: brightness takes a number from 0 to 100, not '1e2'"},
    {{L"@", L"set", L"brightness", L"101"}, 2, L"", L"korvelctl: brightness takes a number from 0 to 100, not '101'"},
    {{L"@", L"set", L"brightness", L" 5"}, 2, L"", L"korvelctl: brightness takes a number from 0 to 100, not ' 5'"},
    {{L"@", L"set", L"period", L"-5"}, 2, L"", L"korvelctl: period takes a number from 0 to 65535, not '-5'"},
    {{L"@", L"set", L"period", L"65536"}, 2, L"", L"korvelctl: period takes a number from 0 to 65535, not '65536'"},
    {{L"@", L"set", L"period", L"99999999999999999999"}, 2, L"",
     L"korvelctl: period takes a number from 0 to 65535, not '99999999999999999999'"},
    {{L"@", L"send-ir", L"-1"}, 2, L"", L"korvelctl: send-ir takes a number from 0 to 0xFFFFFFFF, not '-1'"},
    {{L"@", L"send-ir", L"0x1FFFFFFFF"}, 2, L"",
     L"korvelctl: send-ir takes a number from 0 to 0xFFFFFFFF, not '0x1FFFFFFFF'"},
    {{L"@", L"watch", L"--count", L"0"}, 2, L"", L"korvelctl: --count takes a number from 1 to 4294967295, not '0'"},
    {{L"@", L"--settle", L"2s", L"info"}, 2, L"", L"korvelctl: --settle takes a number from 0 to 60000, not '2s'"},
    {{L"@", L"set", L"full-repeat", L"yes"}, 2, L"", L"korvelctl: full-repeat takes on or off, not 'yes'"},
    {{L"@", L"set", L"resistance", L"3.3k", L"none"}, 2, L"", L"korvelctl: RA takes " + kRaNames + L", not '3.3k'"},
    {{L"@", L"set", L"resistance", L"none", L"3.9 k\u2126"}, 2, L"",
     L"korvelctl: RB takes none, 22 \u2126" + kForms + L", not '3.9 k\u2126'"},
    // Usage errors: one line and where to find help.
    {{L"--verbose"}, 2, L"", L"korvelctl: no command given" + kTryHelp},
    {{L"info"}, 2, L"", L"korvelctl: info needs --port or --all-ports" + kTryHelp},
    {{L"frob"}, 2, L"", L"korvelctl: unknown command 'frob'" + kTryHelp},
    {{L"@", L"bakcup", L"f"}, 2, L"", L"korvelctl: unknown command 'bakcup'; did you mean 'backup'?" + kTryHelp},
    {{L"resotre"}, 2, L"", L"korvelctl: unknown command 'resotre'; did you mean 'restore'?" + kTryHelp},
    {{L"convert", L"a.cfg", L"b.txt"}, 2, L"", L"korvelctl: convert writes a .cfg or a .json file, not 'b.txt'" +
     kTryHelp},
    {{L"@", L"diff", L"{dir}/f", L"{dir}/f"}, 0, L"", L"korvelctl: diff reads files only; --port ignored."},
    {{L"@", L"info", L"--frob"}, 2, L"", L"korvelctl: unknown option --frob" + kTryHelp},
    {{L"diff", L"a.cfg"}, 2, L"", L"korvelctl: wrong number of operands for diff" + kTryHelp},
    {{L"@", L"set", L"colour", L"5"}, 2, L"",
     L"korvelctl: unknown setting colour (brightness, period, full-repeat or resistance)" + kTryHelp},
    {{L"@", L"set", L"brightness"}, 2, L"", L"korvelctl: set brightness takes one value" + kTryHelp},
    {{L"@", L"set", L"resistance", L"none"}, 2, L"", L"korvelctl: set resistance takes RA and RB" + kTryHelp},
    {{L"@", L"info", L"--store"}, 2, L"", L"korvelctl: info takes no --store" + kTryHelp},
    {{L"@", L"@", L"info"}, 2, L"", L"korvelctl: --port {port} is given twice" + kTryHelp},
    {{L"@", L"--port", L"/dev/x", L"watch"}, 2, L"", L"korvelctl: watch takes one --port" + kTryHelp},
    {{L"@", L"--all-ports", L"store"}, 2, L"", L"korvelctl: --all-ports takes no --port" + kTryHelp},
    {{L"--all-ports", L"show", L"f"}, 2, L"", L"korvelctl: show takes no --all-ports" + kTryHelp},
    {{L"@", L"store", L"--json"}, 2, L"", L"korvelctl: store takes --json with several ports only" + kTryHelp},
    {{L"@", L"restore", L"--dry-run", L"--store", L"f"}, 2, L"", L"korvelctl: --dry-run takes no --store" + kTryHelp},
    {{L"@", L"restore", L"--keep-previous", L"k", L"--no-keep-previous", L"f"}, 2, L"",
     L"korvelctl: --no-keep-previous takes no --keep-previous" + kTryHelp},
    {{L"@", L"backup", L"--no-keep-previous", L"f"}, 2, L"",
     L"korvelctl: backup takes no --no-keep-previous" + kTryHelp},
    // Files, named with their fault and what it is: the system's reason, what
    // a file that is no configuration holds, how far a cut-short one got.
    {{L"show", L"{dir}/no/x.cfg"}, 3, L"", L"{dir}/no/x.cfg: no such folder"},
    {{L"show", L"{dir}"}, 3, L"", L"{dir}: cannot open: it is a folder"},
    {{L"show", L"{dir}/empty"}, 3, L"", L"{dir}/empty: not a configuration file (it is empty)"},
    {{L"show", L"{dir}/notes.cfg"}, 3, L"", L"{dir}/notes.cfg: not a configuration file (it starts with text)"},
    {{L"show", L"{dir}/f.json.cfg"}, 3, L"",
     L"{dir}/f.json.cfg: not a configuration file (it holds JSON, which korvelctl reads from a name ending in .json)"},
    {{L"show", L"{dir}/f.json"}, 3, L"", L"{dir}/f.json: not a JSON configuration (it holds a .cfg configuration, "
     L"which korvelctl reads from a name not ending in .json)"},
    {{L"@", L"restore", L"--no-keep-previous", L"{dir}/magic"}, 3, L"",
     L"{dir}/magic: not a configuration file (its first bytes are those of another kind of file)"},
    // A JSON file refused with the value's path and the reason; nothing converted, so not found.
    {{L"@", L"restore", L"{dir}/bad.json"}, 3, L"",
     L"{dir}/bad.json: not a configuration: settings.maxBrightness: 256 is out of range 0 to 100"},
    {{L"convert", L"{dir}/bad.json", L"{dir}/bad.cfg"}, 3, L"",
     L"{dir}/bad.json: not a configuration: settings.maxBrightness: 256 is out of range 0 to 100"},
    {{L"show", L"{dir}/bad.cfg"}, 3, L"", L"{dir}/bad.cfg: not found"},
    {{L"show", L"{dir}/v3"}, 3, L"", L"{dir}/v3: a configuration file of version 3; korvelctl reads version 2"},
    {{L"diff", L"{dir}/f", L"{dir}/v3"}, 3, L"",
     L"{dir}/v3: a configuration file of version 3; korvelctl reads version 2"},
    {{L"show", L"{dir}/header"}, 3, L"", L"{dir}/header: cut short: it ends after 7 bytes, in the header"},
    {{L"show", L"{dir}/count"}, 3, L"", L"{dir}/count: cut short: it ends after 10 bytes, in the row count of the Media "
     L"table"},
    {{L"show", L"{dir}/rows"}, 3, L"", L"{dir}/rows: cut short: it ends after 100 bytes, in Media row 9"},
    {{L"show", L"{dir}/settings"}, 3, L"", L"{dir}/settings: cut short: it ends after 260 bytes, in the settings"},
    {{L"@", L"backup", L"/nonexistent-folder/x.cfg"}, 3, L"", L"/nonexistent-folder/x.cfg: cannot create: no such folder",
     kReadAll},
    // A file no module takes whole is refused before anything is written.
    {{L"@", L"restore", L"--no-keep-previous", L"{dir}/overlong"}, 3, L"",
     L"{dir}/overlong: its Gears table has 256 rows, more than the 255 a module can hold; nothing was written."},
    {{L"@", L"restore", L"{dir}/bright"}, 3, L"",
     L"{dir}/bright: max brightness takes a number from 0 to 100, not 101; nothing was written."},
    {{L"@", L"restore", L"{dir}/long"}, 3, L"", L"{dir}/long: the module's Media table has 13 rows, the file has 14; the "
     L"module's ACC table has 7 rows, the file has 0; nothing was written.", kReadAll},
    {{L"@", L"restore", L"--dry-run", L"{dir}/long"}, 3, L"", L"{dir}/long: the module's Media table has 13 rows, the "
     L"file has 14; the module's ACC table has 7 rows, the file has 0; nothing was written.", kReadAll},
    // The module's configuration that cannot be kept: nothing written.
    {{L"@", L"restore", L"{dir}/f", L"--keep-previous", L"{dir}/f"}, 3, L"", L"Restore stopped before opening a port: "
     L"cannot make the folder {dir}/f for the module's previous configuration: a file of that name is in the way."},
    {{L"@", L"restore", L"{dir}/f", L"--keep-previous", L"{dir}/kept"}, 4, L"", L"Restore stopped before writing "
     L"anything: the module on {port} answered fewer bytes than expected.", {kReadAll.begin(), kReadAll.end() - 1},
     F(Silence, cmd::getHornActions)},
    // The line: nothing ever answered, a reply came short, the line went away.
    {{L"@", L"set", L"brightness", L"7"}, 4, L"", L"No module answered on {port}.", {},
     F(Silence, cmd::setMaxBrightness)},
    {{L"@", L"watch"}, 4, L"", L"No module answered on {port}.", {}, F(Silence, cmd::getPressedButtons)},
    {{L"@", L"info"}, 4, L"", L"The module on {port} answered fewer bytes than expected.", {},
     F(Silence, cmd::getGearActions)},
    {{L"@", L"info"}, 4, L"", L"Lost the line to the module on {port} (read failed).", {},
     F(HangUp, cmd::getMediaActions)},
    {kRestore, 4, L"", L"Restore stopped at Gears row 0: the module on {port} answered fewer bytes than expected.", {},
     F(Silence, cmd::setGearAction)},
    {kRestore, 4, L"", L"Restore stopped at the IR period setting: the module on {port} answered fewer bytes than "
     L"expected.", {}, F(Silence, cmd::setIRRepeatPeriod)},
    // A module that answers 0 without keeping the first two ACC rows; the start of the text.
    {kRestore, 5, L"",
     L"Read back differs from the file (- module, + file):\nACC\n   Index  Button           IR          Repeat  L1  L2  L3  "
     L"L4  H1  H2  H3  H4  Toggle  Invert  Store  RA      RB\n-  0      0xA4A5  ", {}, F(Refuse, cmd::setAccAction, 0, 2)},
};

// Each text as printed: its lines, each with its line end.
std::wstring Printed(const std::wstring& text) { return text.empty() ? text : text + L"\n"; }

TEST(Commands, EachOutcomeHasItsLinesAndExitStatus) {
    ScratchFiles files;
    const Bytes factory = EncodeConfig(FactoryConfig());
    const auto first = [&](std::size_t n) { return Bytes(factory.begin(), factory.begin() + static_cast<long>(n)); };
    files.write("f", factory), files.write("magic", {0x4E, 0x41, 0x59, 0x4E, 1, 0, 0, 0}), files.write("empty", Bytes{});
    files.write("notes.cfg", {'A', 'B', 'C', '\n', 0xC3, 0xA9, ' ', 'x', '\n'}), files.write("f.json", factory);
    files.write("f.json.cfg", {' ', '\n', '{', '}'}), files.write("v3", {0x7E, 0x41, 0x59, 0x4E, 3, 0, 0, 0});
    files.write("header", first(7)), files.write("count", first(10)), files.write("rows", first(100));
    files.write("settings", first(factory.size() - 2));
    files.write("overlong", ModuleConfig{{}, std::vector<GearAction>(256), {}, {}, {}});
    ModuleConfig bright = FactoryConfig(), lengths = FactoryConfig();
    bright.settings.maxBrightness = 101;
    lengths.media.push_back(lengths.media[0]);
    lengths.acc.clear();
    files.write("bright", bright), files.write("long", lengths), files.write("held", OtherContents());
    const std::string json = std::regex_replace(EncodeConfigJson(FactoryConfig()), std::regex("\"maxBrightness\": 80"),
                                                "\"maxBrightness\": 256");
    files.write("bad.json", Bytes(json.begin(), json.end()));
    const std::wstring dir = WidenBytes(files.dir.string());
    for (Case c : kCases) {
        VirtualModule module(OtherContents());
        module.addFault(c.fault);
        const std::wstring port = PortOf(module);
        const auto expanded = [&](const std::wstring& t) { return Expanded(t, {{L"{port}", port}, {L"{dir}", dir}}); };
        for (auto& arg : c.args) arg = expanded(arg);
        const CliRun run = RunCli(c.args, &module);
        const std::string name = ToUtf8(c.args.empty() ? L"(nothing)" : c.args.back()) + " " + ToUtf8(c.out + c.err);
        EXPECT_EQ(run.status, c.status) << name;
        EXPECT_EQ(run.out, Printed(expanded(c.out))) << name;
        const std::wstring err = c.status == 5 ? c.err : Printed(expanded(c.err));
        EXPECT_EQ(c.status == 5 ? run.err.substr(0, err.size()) : run.err, err) << name;
        EXPECT_EQ(run.err.find(L"\n\n"), std::wstring::npos) << name;  // no blank line, after a table of rows neither
        // A refused command line or file sends nothing at all.
        if (!c.request.empty() || c.status == 2 || c.status == 3) {
            EXPECT_EQ(Sent(module), c.request) << name;
        }
    }
}

TEST(Commands, HelpPrintsTheUsageOnStandardOutputAndNothingAskedOnStandardError) {
    for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
             {L"--help"}, {L"-h"}, {L"help"}, {L"--port", L"/dev/x", L"set", L"-h"}, {L"--version", L"--help"}}) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(std::tie(run.status, run.out, run.err), std::make_tuple(0, UsageText(), L"")) << ToUtf8(args.back());
    }
    const CliRun bare = RunCli({});
    EXPECT_EQ(std::tie(bare.status, bare.out, bare.err), std::make_tuple(2, L"", UsageText()));
    // The usage names the ranges and the names RA and RB take.
    const std::wstring usage = UsageText();
    for (const wchar_t* part : {L"restore FILE [--store]", L"brightness 0 to 100, period 0 to 65535, CODE 0 to "
                                L"0xFFFFFFFF", L"RA: none, 1.2 k\u2126, 2.2 k\u2126", L"RB: none, 22 \u2126\n"})
        EXPECT_NE(usage.find(part), std::wstring::npos) << ToUtf8(part);
}

// That there are no ports; then a virtual module listed by its link, which
// --all-ports takes, alone in the several ports' form.
TEST(Commands, PortsListsThePortsVirtualModulesIncludedWhichAllPortsTakes) {
    ScratchFiles files;  // and the tests' runtime folder, where the module below announces itself
    const auto none = [] { return std::vector<PortInfo>{}; };
    const CliRun noPorts = RunCli({L"ports"}, nullptr, none);
    const CliRun noneToTake = RunCli({L"--all-ports", L"store"}, nullptr, none);
    EXPECT_EQ(std::tie(noPorts.status, noPorts.out, noPorts.err), std::make_tuple(0, L"", L"No serial ports found.\n"));
    EXPECT_EQ(std::tie(noneToTake.status, noneToTake.out, noneToTake.err),
              std::make_tuple(4, L"", L"No serial ports found.\n"));
    // It serves store's one exchange, then ends.
    const std::wstring link = files.path("module");
    RunningSim module("--hang-up-after 1 --link " + ToUtf8(link));
    ASSERT_FALSE(module.pty.empty());
    std::wstring listed;
    for (const PortInfo& port : listSerialPorts()) listed += WidenBytes(port.port + "\t" + port.friendlyName + "\n");
    const CliRun ports = RunCli({L"ports"});
    EXPECT_EQ(std::tie(ports.status, ports.out, ports.err), std::make_tuple(0, listed, L""));
    EXPECT_NE(listed.find(link + L"\tKorvel virtual module (" + link + L")\n"), std::wstring::npos);
    // The machine's own serial ports left out, which have no module behind them.
    const CliRun all =
        RunCli({L"--all-ports", L"store"}, nullptr, [] { return ListVirtualModulesIn(VirtualModuleFolder()); });
    EXPECT_EQ(std::tie(all.status, all.err), std::make_tuple(0, L""));
    EXPECT_EQ(WithoutSeconds(all.out),
              link + L": The running configuration is stored in the module. (S s)\n1 port: 1 done, 0 failed\n");
    EXPECT_EQ(module.wait(), 0);
}

// The port named, and why it did not open, from the system's own error. For
// permission denied, the group that may open the port: korvelctl run as the
// user nobody.
TEST(Commands, APortThatDoesNotOpenIsNamedWithTheReason) {
    ScratchFiles files;
    VirtualModule module;
    const std::string pts = module.portPath();
    const std::string regular = ToUtf8(files.write("regular", {1, 2, 3}));
    // A link left by a virtual module that stopped without removing it. It
    // names a terminal number no test is given: a number just freed could go
    // to a module of a test running beside this one, which korvelctl would open.
    const std::string left = (files.dir / "left").string();
    std::filesystem::create_symlink("/dev/pts/999999", left);
    SerialLink holder;
    holder.timeouts.settleMs = 0;
    ASSERT_TRUE(holder.open(pts));
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/korvel-no-such-port", "not found."},
        {left, "not found."},
        {files.dir.string(), "not a serial port."},
        {regular, "not a serial port."},
        {"/dev/null", "not a serial port."},
        {pts, "busy, in use by another program."},
    };
    for (const auto& [port, reason] : cases) {
        const auto start = std::chrono::steady_clock::now();
        const CliRun run = RunCli({L"--port", WidenBytes(port), L"--settle", L"2000", L"store"});
        EXPECT_EQ(std::tie(run.status, run.out, run.err),
                  std::make_tuple(4, L"", WidenBytes("Cannot open " + port + ": " + reason + "\n")));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << port << ": no settle wait";
    }
    EXPECT_EQ(module.exchangeCount(), 0u);
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || getuid() != 0) GTEST_SKIP() << "needs root to become nobody";
    struct stat device {};
    ASSERT_EQ(stat(pts.c_str(), &device), 0);
    const group* owner = getgrgid(device.st_gid);
    ASSERT_TRUE(owner && (device.st_mode & S_IRWXO) == 0) << "others may open " << pts;
    EXPECT_EQ(Ended(files, StartProgram(files, {"--port", pts, "info"}, nobody)),
              std::make_tuple(4, "", "Cannot open " + pts + ": permission denied; join the group " +
                                         std::string(owner->gr_name) + " and log in again.\n"));
    EXPECT_EQ(module.exchangeCount(), 0u);
}

// The command bytes of every request, in order.
Bytes Commands(const VirtualModule& module) {
    Bytes commands;
    for (const Exchange& exchange : module.exchanges()) commands.push_back(exchange.request.at(0));
    return commands;
}

Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

// restore reads the module whole and keeps it before it writes anything, the
// settings then the tables, reads it back, and stores last; a refusal ends it.
TEST(Commands, RestoreSendsItsExchangesInTheWindowsOrder) {
    ScratchFiles files;
    const std::wstring factory = files.write("f", FactoryConfig()), noKeep = L"--no-keep-previous";
    const ModuleConfig& f = FactoryConfig();
    const Bytes settings = {cmd::setIRRepeatPeriod, cmd::setIRFullRepeat, cmd::setMaxBrightness,
                            cmd::setDefaultResistance};
    const Bytes media(f.media.size(), cmd::setMediaAction);
    const Bytes whole = kReadAll + settings + media + Bytes(f.gears.size(), cmd::setGearAction) +
                        Bytes(f.horn.size(), cmd::setHornAction) + Bytes(f.acc.size(), cmd::setAccAction) + kReadAll;
    const struct { std::vector<std::wstring> args; Bytes sent; Fault fault = kNoFault; int hangUp = -1; } cases[] = {
        {{L"@", L"restore", noKeep, factory}, whole},
        {{L"@", L"restore", factory, L"--keep-previous", files.path("kept")}, whole},
        {{L"@", L"restore", noKeep, L"--store", factory}, whole + Bytes{cmd::saveConfig}},
        // The line lost at the last read-back: nothing stored.
        {{L"@", L"restore", noKeep, L"--store", factory}, Bytes(whole.begin(), whole.end() - 1), kNoFault,
         static_cast<int>(whole.size()) - 1},
        {{L"@", L"restore", noKeep, factory}, kReadAll + Bytes(settings.begin(), settings.begin() + 3),
         F(Refuse, cmd::setMaxBrightness)},
        {{L"@", L"restore", noKeep, factory}, kReadAll + settings + media + Bytes{cmd::setGearAction},
         F(Refuse, cmd::setGearAction)},
        // A module that holds the file already is only stored.
        {{L"@", L"restore", L"--store", files.write("held", OtherContents())}, kReadAll + Bytes{cmd::saveConfig}},
    };
    for (const auto& c : cases) {
        VirtualModule module(OtherContents());
        module.addFault(c.fault);
        if (c.hangUp >= 0) module.hangUpAfter(c.hangUp);
        const CliRun run = RunCli(c.args, &module);
        EXPECT_EQ(Commands(module), c.sent) << ToUtf8(c.args.back()) << " " << run.status << " " << ToUtf8(run.err);
    }
}

TEST(Commands, WatchPrintsOneLinePerChangeAtTheWindowsRate) {
    VirtualModule module;
    module.setLiveChanges(false);
    module.setPressed({0x15, 0x00, 0x01, 0x0100}, 42);
    std::thread later([&] {
        // Counted in polls, two exchanges each, not in time: several polls see the same.
        AwaitUpTo([&] { return module.exchangeCount() >= 10; });
        // The brightness stays: a poll that straddles the change then cannot
        // show half of it.
        module.setPressed({0x00, 0x1C, 0x00, 0x0000}, 42);
    });
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = RunCli({L"@", L"watch", L"--count", L"2"}, &module);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    later.join();
    EXPECT_EQ(std::tie(run.status, run.out),
              std::make_tuple(0, L"Media: Next (0x15)  Gears: 0x00  Horn: Horn (0x01)  ACC: Set (0x0100)  Current: 42\n"
                                 L"Media: 0x00  Gears: 0x1C  Horn: 0x00  ACC: 0x0000  Current: 42\n"));
    // Each poll is getPressedButtons then getCurrentBrightness; the run ends
    // at the poll that saw the change, so its time is that many periods.
    const Bytes commands = Commands(module);
    const auto polls = std::count(commands.begin(), commands.end(), cmd::getPressedButtons);
    ASSERT_GE(polls, 5) << ms;
    EXPECT_EQ(commands.size(), 2u * static_cast<std::size_t>(polls));
    // About the window's rate (its exact period is checked on the window's
    // timer); a loaded machine may stretch a poll or two.
    const double period = ms / static_cast<double>(polls - 1);
    EXPECT_TRUE(period >= 0.95 * kPollIntervalMs && period < 1.5 * kPollIntervalMs) << period << " ms between polls";
}

// The program as a shell runs it, on --port and the arguments: its exit
// status, standard output for its results, standard error, and the seconds it
// took: at least those it settles, two unless told otherwise.
// Arguments are read as UTF-8, and the texts so written.
TEST(Program, SettlesReadsAndWritesUtf8AndKeepsStandardOutputForItsResults) {
    ScratchFiles files;
    VirtualModule module;
    module.addFault(F(Refuse, cmd::resetConfig, 7));
    const std::string port = module.portPath(), ohm = "\xE2\x84\xA6";
    const struct { std::vector<std::string> args; int status; std::string out, err; double min = 0, max = 60; } cases[] = {
        {{"set", "resistance", "4.7 k" + ohm, ""}, 0, "Default resistance is RA 4.7 k" + ohm + " and RB none.\nThe "
         "module returns to its stored configuration at its next power-up unless 'korvelctl --port " + port + " store' "
         "is run.\n", "", 2.0},
        {{"--settle", "300", "reset"}, 1, "", "The module refused to reset, response: 7; its running configuration is "
         "unchanged.\n", 0.3, 2.0},
        {{"--settle", "0", "send-ir", "5"}, 0, "Sent IR code 0x5.\n", ""},
        {{"--settle", "0", "send-ir", "5", "--verbose"}, 0, "Sent IR code 0x5.\n", "Connecting to COM port.\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--port", port};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Ended(files, StartProgram(files, args)), std::make_tuple(c.status, c.out, c.err));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_TRUE(seconds >= c.min && seconds < c.max) << c.args.back() << ": " << seconds;
    }
}

// korvelctl and korvel-sim as a shell runs them: a value refused on the
// command line never reaches the module, as korvel-sim's log shows; the same
// command with a good value does, and korvel-sim exits after that exchange.
TEST(Program, ARefusedValueNeverReachesTheModulesLog) {
    ScratchFiles files;
    RunningSim sim("--hang-up-after 1 --log '" + ToUtf8(files.path("exchanges.log")) + "'");
    const std::string port = sim.pty;
    ASSERT_FALSE(port.empty());
    auto status = [&](const std::vector<std::string>& a) { return std::get<0>(Ended(files, StartProgram(files, a))); };
    for (const char* value : {"101", "0x", "12abc", "1e2", "-1"})
        EXPECT_EQ(status({"--port", port, "--settle", "0", "set", "brightness", value}), 2);
    EXPECT_EQ(status({"--port", port, "--settle", "0", "send-ir", "0x1FFFFFFFF"}), 2);
    EXPECT_EQ(status({"--port", port, "--settle", "0", "set", "brightness", "0x3C"}), 0);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(files.read("exchanges.log"), "07 3C -> 00\n");
}

}  // namespace
