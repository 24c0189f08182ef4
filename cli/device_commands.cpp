#include "cli/device_commands.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <thread>

#include "actions/action_writes.h"
#include "cli/config_text.h"
#include "cli/file_names.h"
#include "cli/outcome_text.h"
#include "cli/several_ports.h"
#include "config/config_document.h"
#include "config/native_path.h"
#include "config/whole_config.h"
#include "device/module.h"
#include "device/port_info.h"
#include "device/text.h"
#include "settings/live_values.h"
#include "settings/setting_commands.h"
#include "vocabulary/cell_text.h"

namespace {

// Polls at the window's rate.
constexpr std::chrono::milliseconds kPollPeriod{kPollIntervalMs};

// Opens the port with the --settle wait and marks the module connected, as
// the window's Connect button does, without its read-back. Ctrl+C stops its
// link before the next exchange.
Outcome ConnectTo(Module& module, const CliArguments& args) {
    module.link.timeouts = args.timeouts;
    module.link.stop = args.interrupted;
    return Connect(module, ToUtf8(args.port));
}

// Connects to a module holding `held`, then gives the exit status `run` makes of the connected module.
template <class Run>
int OnModule(const CliArguments& args, const CliOutput& output, Run run, const ModuleConfig& held = {}) {
    Module module;
    module.held = held;
    const Outcome connected = ConnectTo(module, args);
    if (!Succeeded(connected)) return Report(connected, module, args, output);
    return run(module);
}

// A change to the running configuration, reported; once it is done, also
// what becomes of it at the next power-up (for several ports, once for all).
int ReportChange(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output) {
    const int status = Report(outcome, module, args, output);
    if (status != kExitOk) return status;
    if (output.changedUnstored) output.changedUnstored();
    else output.out(NotStoredText({args.port}) + L"\n");
    return status;
}

// A command on the stored configuration; one that changes the running
// configuration only (reset) says so.
int StoredConfigCommand(const CliArguments& args, const CliOutput& output, Outcome (*command)(Module&),
                        bool leavesChangesUnstored = false) {
    return RunOnPorts(args, output, [&](const CliArguments& port, const CliOutput& print) {
        return OnModule(port, print, [&](Module& module) {
            const Outcome outcome = command(module);
            if (leavesChangesUnstored) return ReportChange(outcome, module, port, print);
            return Report(outcome, module, port, print);
        });
    });
}

// The five live displays of the window under their captions.
std::wstring LiveLine(const LiveValues& live) {
    return L"Media: " + FormatHex8(live.pressed.media) + L"  Gears: " + FormatHex8(live.pressed.gears) + L"  Horn: " +
           FormatHex8(live.pressed.horn) + L"  ACC: " + FormatHex16(live.pressed.acc) + L"  Current: " +
           std::to_wstring(live.brightness);
}

// The settings as held, then every row, then everything read back and
// compared, in the window's File > Open order: kExitOk with nothing printed,
// or the failure reported.
int WriteAndCompare(Module& module, const CliArguments& args, const CliOutput& output) {
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
    if (diff.empty()) return kExitOk;
    output.err(MismatchText(FirstDifference(diff), SeveralPorts(args)) + L"\n");
    return kExitMismatch;
}

// The module's whole configuration kept in a new file in `folder`, whose
// name goes to `kept`: kExitOk, or the failure reported and its status.
int KeepPrevious(Module& module, const std::wstring& folder, const CliArguments& args, const CliOutput& output,
                 std::wstring& kept) {
    ModuleConfig previous;
    const Outcome read = ReadWholeConfig(module, previous);
    kept = PreviousConfigPath(folder, args.port, std::time(nullptr));
    const Outcome saved = Succeeded(read) ? WriteConfigDocument(kept, previous) : read;
    if (!Succeeded(saved)) {
        output.err(KeepFailedText(saved, module, args, kept) + L"\n");
        return ExitStatusOf(saved, module);
    }
    output.out(KeptText(kept) + L"\n");
    return kExitOk;
}

// restore --dry-run: what the restore would change, module -> file, and 1
// when there is anything; nothing but reads is sent.
int DryRun(Module& module, const CliArguments& args, const CliOutput& output) {
    ModuleConfig current;
    const Outcome read = ReadWholeConfig(module, current);
    if (!Succeeded(read)) return Report(read, module, args, output);
    const ConfigDiff diff = DiffConfigs(current, module.held);
    if (diff.empty() || SeveralPorts(args)) {
        output.out(DryRunLine(current, module.held, args) + L"\n");
        if (args.json && output.attach) output.attach("diff", JsonDiff(current, module.held));
    } else {
        output.out(DryRunHeader(args) + L"\n" + Joined(DiffLines(diff)));
    }
    return diff.empty() ? kExitOk : kExitRefused;
}

// restore on one port: the previous configuration kept in `folder` (none when
// empty) before anything is written; and after a failure part-way, the
// command that puts it back.
int RestoreOnPort(const ModuleConfig& file, const std::wstring& folder, const CliArguments& args,
                  const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) {
        if (args.dryRun) return DryRun(module, args, output);
        std::wstring kept;
        if (!folder.empty()) {
            const int status = KeepPrevious(module, folder, args, output, kept);
            if (status != kExitOk) return status;
        }
        const int status = WriteAndCompare(module, args, output);
        if (status != kExitOk) {
            if (!kept.empty()) output.err(WayBackText(args, kept) + L"\n");
            return status;
        }
        const Outcome restored{&kWriteAllActions};
        if (!args.store) return ReportChange(restored, module, args, output);
        Report(restored, module, args, output);
        return Report(SaveModuleConfig(module), module, args, output);
    }, file);
}

// The folder restore keeps previous configurations in, made when missing,
// into `folder`: none with --no-keep-previous or --dry-run. kExitOk, or why
// there is none reported and its status.
int PreviousFolder(const CliArguments& args, const CliOutput& output, std::wstring& folder) {
    if (args.noKeepPrevious || args.dryRun) return kExitOk;
    folder = args.keepPrevious.value_or(DefaultPreviousFolder());
    if (folder.empty()) {
        output.err(NoPreviousFolderText() + L"\n");
        return kExitFile;
    }
    std::error_code error;
    std::filesystem::create_directories(NativePath(folder), error);
    if (error) {
        output.err(PreviousFolderFailedText(folder, error.message()) + L"\n");
        return kExitFile;
    }
    return kExitOk;
}

// watch on a connected module, until --count lines or Ctrl+C, which ends it
// as a watch is meant to end: quietly, with status 0.
int Watch(Module& module, const CliArguments& args, const CliOutput& output) {
    // A slow reply delays the next poll instead of queueing polls, as the
    // window's timer messages do.
    auto next = std::chrono::steady_clock::now();
    std::wstring last;
    unsigned printed = 0;
    while (!args.count || printed < *args.count) {
        LiveValues live;
        const Outcome polled = PollLiveValues(module, live);
        if (!Succeeded(polled)) return module.link.interrupted ? kExitOk : Report(polled, module, args, output);
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
}

}  // namespace

int RunPorts(const CliArguments&, const CliOutput& output) {
    const std::vector<PortInfo> ports = listSerialPorts();
    if (ports.empty()) output.err(NoPortsText() + L"\n");
    for (const PortInfo& port : ports) output.out(toWide(port.port) + L"\t" + toWide(port.friendlyName) + L"\n");
    return kExitOk;
}

int RunInfo(const CliArguments& args, const CliOutput& output) {
    return RunOnPorts(args, output, [](const CliArguments& port, const CliOutput& print) {
        return OnModule(port, print, [&](Module& module) -> int {
            ModuleConfig config;
            const Outcome read = ReadWholeConfig(module, config);
            if (!Succeeded(read)) return Report(read, module, port, print);
            if (!SeveralPorts(port)) {
                print.out(port.json ? JsonLine(JsonInfo(config)) : Joined(InfoLines(config)));
            } else {
                print.out(InfoLine(config) + L"\n");
                if (port.json && print.attach) print.attach("info", JsonInfo(config));
            }
            return kExitOk;
        });
    });
}

int RunBackup(const CliArguments& args, const CliOutput& output) {
    // Two ports whose names make the same file would overwrite each other's backup.
    if (SeveralPorts(args)) {
        std::map<std::wstring, std::wstring> portOfFile;
        for (const std::wstring& port : args.ports) {
            const auto [at, added] = portOfFile.emplace(FileForPort(args.operands[0], port), port);
            if (added) continue;
            output.err(L"korvelctl: " + at->second + L" and " + port + L" would both back up to " + at->first + L"\n");
            return kExitUsage;
        }
    }
    return RunOnPorts(args, output, [](const CliArguments& port, const CliOutput& print) {
        CliArguments own = port;
        if (SeveralPorts(port)) own.operands[0] = FileForPort(port.operands[0], port.port);
        return OnModule(own, print, [&](Module& module) {
            // Everything is read before the file is touched, and the file is
            // replaced only once the new one is whole: an earlier backup of the
            // same name survives any failure.
            ModuleConfig config;
            const Outcome read = ReadWholeConfig(module, config);
            return Report(Succeeded(read) ? WriteConfigDocument(own.operands[0], config) : read, module, own, print);
        });
    });
}

int RunRestore(const CliArguments& args, const CliOutput& output) {
    // The file is read whole, and a table the wire cannot address keeps
    // everything back, before any port is opened.
    const Module none;
    ModuleConfig file;
    const Outcome loaded = ReadConfigDocument(args.operands[0], file);
    if (!Succeeded(loaded)) return Report(loaded, none, args, output);
    const Outcome fits = CheckTableLengths(file);
    if (!Succeeded(fits)) return Report(fits, none, args, output);
    std::wstring folder;
    if (const int status = PreviousFolder(args, output, folder); status != kExitOk) return status;
    return RunOnPorts(args, output, [&](const CliArguments& port, const CliOutput& print) {
        return RestoreOnPort(file, folder, port, print);
    });
}

int RunSet(const CliArguments& args, const CliOutput& output) {
    // The command line has read and checked the value; it goes out as File >
    // Open sends a setting, from the held configuration.
    return RunOnPorts(args, output, [](const CliArguments& port, const CliOutput& print) {
        return OnModule(port, print, [&](Module& module) {
            module.held.settings = port.values;
            return ReportChange(WriteHeldSetting(module, port.setting), module, port, print);
        });
    });
}

int RunStore(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, SaveModuleConfig);
}
int RunReload(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, LoadModuleConfig);
}
int RunReset(const CliArguments& args, const CliOutput& output) {
    return StoredConfigCommand(args, output, ResetModuleConfig, true);
}

int RunSendIr(const CliArguments& args, const CliOutput& output) {
    return RunOnPorts(args, output, [](const CliArguments& port, const CliOutput& print) {
        return OnModule(port, print, [&](Module& m) { return Report(SendIrCode(m, port.irCode), m, port, print); });
    });
}

int RunWatch(const CliArguments& args, const CliOutput& output) {
    return RunOnPorts(args, output, [](const CliArguments& port, const CliOutput& print) {
        return OnModule(port, print, [&](Module& module) { return Watch(module, port, print); });
    });
}
