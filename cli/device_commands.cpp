#include "cli/device_commands.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "actions/action_reads.h"
#include "actions/action_writes.h"
#include "actions/cell_text.h"
#include "cli/config_text.h"
#include "cli/outcome_text.h"
#include "config/config_file.h"
#include "config/whole_config.h"
#include "device/module.h"
#include "device/port_info.h"
#include "device/text.h"
#include "settings/live_values.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"

namespace {

// Polls at the window's rate.
constexpr std::chrono::milliseconds kPollPeriod{kPollIntervalMs};

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
    if (!Succeeded(connected)) return Report(connected, module, args, output);
    return run(module);
}

// A change to the running configuration, reported; once it is done, also
// what becomes of it at the next power-up.
int ReportChange(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output) {
    const int status = Report(outcome, module, args, output);
    if (status == kExitOk) output.out(NotStoredText(args) + L"\n");
    return status;
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

// A command on the stored configuration, with the read-back after a reload or
// reset; a reset changes the running configuration only.
int StoredConfigCommand(const CliArguments& args, const CliOutput& output, Outcome (*command)(Module&), bool readBack) {
    return OnModule(args, output, [&](Module& module) {
        const Outcome outcome = command(module);
        if (readBack && Succeeded(outcome)) ReadBackAsTheWindowDoes(module);
        if (outcome.operation == Operation::ResetModuleConfig) return ReportChange(outcome, module, args, output);
        return Report(outcome, module, args, output);
    });
}

// The five live displays of the window under their captions.
std::wstring LiveLine(const LiveValues& live) {
    return L"Media: " + FormatHex8(live.pressed.media) + L"  Gears: " + FormatHex8(live.pressed.gears) + L"  Horn: " +
           FormatHex8(live.pressed.horn) + L"  ACC: " + FormatHex16(live.pressed.acc) + L"  Current: " +
           std::to_wstring(live.brightness);
}

int Restore(Module& module, const CliArguments& args, const CliOutput& output) {
    // The window's File > Open order: the four settings as held, then every row.
    for (Setting setting : {Setting::IrRepeatPeriod, Setting::IrFullRepeat, Setting::MaxBrightness,
                            Setting::DefaultResistance}) {
        const Outcome sent = WriteHeldSetting(module, setting);
        if (!Succeeded(sent)) return Report(sent, module, args, output);
    }
    const Outcome written = WriteAllActions(module);
    if (!Succeeded(written)) return Report(written, module, args, output);
    ModuleConfig readBack;
    const Outcome read = ReadWholeConfig(module, readBack);
    if (!Succeeded(read)) return Report(read, module, args, output);
    const ConfigDiff diff = DiffConfigs(module.held, readBack);
    if (!diff.empty()) {
        output.err(L"Read back differs from the file (- file, + module):\n" + Joined(DiffLines(FirstDifference(diff))));
        return kExitMismatch;
    }
    if (!args.store) return ReportChange(written, module, args, output);
    Report(written, module, args, output);
    return Report(SaveModuleConfig(module), module, args, output);
}

}  // namespace

int RunPorts(const CliArguments&, const CliOutput& output) {
    const std::vector<PortInfo> ports = listSerialPorts();
    if (ports.empty()) output.err(NoPortsText() + L"\n");
    for (const PortInfo& port : ports) output.out(toWide(port.port) + L"\t" + toWide(port.friendlyName) + L"\n");
    return kExitOk;
}

int RunInfo(const CliArguments& args, const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) -> int {
        ModuleConfig config;
        const Outcome read = ReadWholeConfig(module, config);
        if (!Succeeded(read)) return Report(read, module, args, output);
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
        return Report(Succeeded(read) ? SaveConfigFile(args.operands[0], config) : read, module, args, output);
    });
}

int RunRestore(const CliArguments& args, const CliOutput& output) {
    Module module;
    const Outcome loaded = LoadConfigFile(module, args.operands[0]);
    if (!Succeeded(loaded)) return Report(loaded, module, args, output);
    // A table the wire cannot address keeps everything back, the settings
    // too, before the port is even opened.
    const Outcome fits = CheckTableLengths(module.held);
    if (!Succeeded(fits)) return Report(fits, module, args, output);
    const Outcome connected = ConnectTo(module, args);
    if (!Succeeded(connected)) return Report(connected, module, args, output);
    return Restore(module, args, output);
}

int RunSet(const CliArguments& args, const CliOutput& output) {
    // The command line has read and checked the value; it goes out as File >
    // Open sends a setting, from the held configuration.
    return OnModule(args, output, [&](Module& module) {
        module.held.settings = args.values;
        return ReportChange(WriteHeldSetting(module, args.setting), module, args, output);
    });
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
    return OnModule(args, output, [&](Module& m) { return Report(SendIrCode(m, args.irCode), m, args, output); });
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
            if (!Succeeded(polled)) return Report(polled, module, args, output);
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
