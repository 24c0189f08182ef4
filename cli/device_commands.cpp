#include "cli/device_commands.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <thread>

#include "actions/action_reads.h"
#include "actions/action_writes.h"
#include "actions/auto_base.h"
#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "cli/config_text.h"
#include "config/config_file.h"
#include "config/whole_config.h"
#include "device/module.h"
#include "device/port_info.h"
#include "device/text.h"
#include "settings/live_values.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"

namespace {

// The window polls at 5 Hz: its timer fires every 200 ms.
constexpr std::chrono::milliseconds kPollPeriod{1000 / 5};

// Opens --port with the --settle wait and marks the module connected, as the
// window's Connect button does, without its read-back.
Outcome ConnectTo(Module& module, const CliArguments& args) {
    module.link.timeouts = args.timeouts;
    return Connect(module, ToUtf8(args.port.value_or(L"")));
}

// Connects, then gives the exit status `run` makes of the connected module.
template <class Run>
int OnModule(const CliArguments& args, const CliOutput& output, Run run) {
    Module module;
    const Outcome connected = ConnectTo(module, args);
    if (!Succeeded(connected)) return Report(connected, output);
    return run(module);
}

// A single operation on the module, its outcome reported.
template <class Call>
int ReportOnModule(const CliArguments& args, const CliOutput& output, Call call) {
    return OnModule(args, output, [&](Module& module) { return Report(call(module), output); });
}

// A number as the window's fields read it; nothing when the text does not start with one.
NumberInput Number(const std::wstring& text) {
    const AutoBaseNumber number = ParseAutoBase(text);
    return number.valid ? NumberInput(number.value) : std::nullopt;
}

// The position of the entry named `name` in a resistor catalogue, or -1. The
// Greek capital omega is what keyboards type; the catalogue has the ohm sign.
int ResistorPosition(std::span<const CodeName> catalogue, std::wstring name) {
    std::replace(name.begin(), name.end(), L'\u03A9', L'\u2126');
    const auto at = std::find_if(catalogue.begin(), catalogue.end(), [&](const CodeName& e) { return name == e.name; });
    return at == catalogue.end() ? -1 : static_cast<int>(at - catalogue.begin());
}

// After a reload or a reset the window reads the module back: the four
// settings, then the table on show, Media after start. The same reads go out
// here, so the module sees the same exchanges; the command's own outcome is
// reported whatever they answer.
void ReadBackAsTheWindowDoes(Module& module) {
    ReadMaxBrightness(module);
    ReadFullRepeat(module);
    ReadDefaultResistance(module);
    ReadIrRepeatPeriod(module);
    LoadTable(module, Media);
}

// A command on the stored configuration, with the read-back after a reload or reset.
int StoredConfigCommand(const CliArguments& args, const CliOutput& output, Outcome (*command)(Module&), bool readBack) {
    return ReportOnModule(args, output, [&](Module& module) {
        const Outcome outcome = command(module);
        if (readBack && Succeeded(outcome)) ReadBackAsTheWindowDoes(module);
        return outcome;
    });
}

// The five live displays of the window under their captions.
std::wstring LiveLine(const LiveValues& live) {
    return L"Media: " + FormatHex8(live.pressed.media) + L"  Gears: " + FormatHex8(live.pressed.gears) + L"  Horn: " +
           FormatHex8(live.pressed.horn) + L"  ACC: " + FormatHex16(live.pressed.acc) + L"  Current: " +
           std::to_wstring(live.brightness);
}

int Restore(Module& module, const CliOutput& output) {
    // The window's File > Open order: the four settings as held, each refusal
    // worded as the handler that sets the same value, then every row.
    for (Setting setting : {Setting::IrRepeatPeriod, Setting::IrFullRepeat, Setting::MaxBrightness,
                            Setting::DefaultResistance}) {
        const Outcome sent = WriteHeldSetting(module, setting);
        if (!Succeeded(sent)) return Report(sent, output);
    }
    const Outcome written = WriteAllActions(module);
    if (!Succeeded(written)) return Report(written, output);
    ModuleConfig readBack;
    const Outcome read = ReadWholeConfig(module, readBack);
    if (!Succeeded(read)) return Report(read, output);
    const ConfigDiff diff = DiffConfigs(module.held, readBack);
    if (!diff.empty()) {
        output.err(L"Read back differs from the file (- file, + module):\n" + Joined(DiffLines(FirstDifference(diff))));
        return kExitMismatch;
    }
    return Report(written, output);
}

}  // namespace

int RunPorts(const CliArguments&, const CliOutput& output) {
    for (const PortInfo& port : listSerialPorts()) output.out(toWide(port.port) + L"\t" + toWide(port.friendlyName) + L"\n");
    return kExitOk;
}

int RunInfo(const CliArguments& args, const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) -> int {
        ModuleConfig config;
        const Outcome read = ReadWholeConfig(module, config);
        if (!Succeeded(read)) return Report(read, output);
        output.out(args.json ? JsonInfo(config) + L"\n" : Joined(InfoLines(config)));
        return kExitOk;
    });
}

int RunBackup(const CliArguments& args, const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) {
        // Everything is read before the file is touched, so a failed read
        // leaves an earlier backup of the same name as it was.
        ModuleConfig config;
        const Outcome read = ReadWholeConfig(module, config);
        return Report(Succeeded(read) ? SaveConfigFile(args.operands[0], config) : read, output);
    });
}

int RunRestore(const CliArguments& args, const CliOutput& output) {
    Module module;
    const Outcome loaded = LoadConfigFile(module, args.operands[0]);
    if (!Succeeded(loaded)) return Report(loaded, output);
    // A table the wire cannot address keeps everything back, the settings
    // too, before the port is even opened.
    const Outcome fits = CheckTableLengths(module.held);
    if (!Succeeded(fits)) return Report(fits, output);
    const Outcome connected = ConnectTo(module, args);
    if (!Succeeded(connected)) return Report(connected, output);
    return Restore(module, output);
}

int RunSet(const CliArguments& args, const CliOutput& output) {
    // The value is checked as far as the command line can before the port is
    // opened; the operation checks the rest as the window's handler does.
    const std::wstring& what = args.operands[0];
    const std::size_t values = args.operands.size() - 1;
    if (what == L"resistance") {
        if (values != 2) return UsageError(output, L"set resistance takes RA and RB");
        const int ra = ResistorPosition(ResistorsA, args.operands[1]);
        const int rb = ResistorPosition(ResistorsB, args.operands[2]);
        if (ra < 0) return UsageError(output, L"no RA value " + args.operands[1]);
        if (rb < 0) return UsageError(output, L"no RB value " + args.operands[2]);
        return ReportOnModule(args, output, [&](Module& m) { return ApplyDefaultResistance(m, ra, rb); });
    }
    if (values != 1) return UsageError(output, L"set " + what + L" takes one value");
    const std::wstring& value = args.operands[1];
    if (what == L"brightness")
        return ReportOnModule(args, output, [&](Module& m) { return ApplyMaxBrightness(m, Number(value)); });
    if (what == L"period")
        return ReportOnModule(args, output, [&](Module& m) { return ApplyIrRepeatPeriod(m, Number(value)); });
    if (what == L"full-repeat") {
        if (value != L"on" && value != L"off") return UsageError(output, L"full-repeat is on or off");
        return ReportOnModule(args, output, [&](Module& m) { return SetIrFullRepeat(m, value == L"on"); });
    }
    return UsageError(output, L"unknown setting " + what);
}

int RunStore(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, SaveModuleConfig, false);
}
int RunReload(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, LoadModuleConfig, true);
}
int RunReset(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, ResetModuleConfig, true);
}

int RunSendIr(const CliArguments& args, const CliOutput& output) {
    return ReportOnModule(args, output, [&](Module& m) { return SendIrCode(m, Number(args.operands[0])); });
}

int RunWatch(const CliArguments& args, const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) -> int {
        // A slow reply delays the next poll instead of queueing polls, as
        // the window's timer messages do.
        auto next = std::chrono::steady_clock::now();
        std::wstring last;
        unsigned printed = 0;
        while (!args.count || printed < *args.count) {
            LiveValues live;
            const Outcome polled = PollLiveValues(module, live);
            if (!Succeeded(polled)) return Report(polled, output);
            const std::wstring line = LiveLine(live);
            if (line != last) {
                output.out(line + L"\n");
                last = line;
                if (args.count && ++printed == *args.count) break;
            }
            next = std::max(next + kPollPeriod, std::chrono::steady_clock::now());
            std::this_thread::sleep_until(next);
        }
        return kExitOk;
    });
}
