#include "cli/device_commands.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "cli/config_text.h"
#include "cli/file_names.h"
#include "cli/module_run.h"
#include "cli/outcome_text.h"
#include "cli/several_ports.h"
#include "config/config_document.h"
#include "config/whole_config.h"
#include "device/module.h"
#include "device/port_info.h"
#include "settings/live_values.h"
#include "settings/setting_commands.h"

namespace {

// Polls at the window's rate.
constexpr std::chrono::milliseconds kPollPeriod{kPollIntervalMs};

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

// The five live displays of the window under their captions, each pressed
// code with its button's name.
std::wstring LiveLine(const LiveValues& live) {
    const PressedButtons& p = live.pressed;
    return L"Media: " + ButtonText(Media, p.media) + L"  Gears: " + ButtonText(Gears, p.gears) + L"  Horn: " +
           ButtonText(Horn, p.horn) + L"  ACC: " + ButtonText(Acc, p.acc) + L"  Current: " +
           std::to_wstring(live.brightness);
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
