#include "cli/korvelctl.h"

#include <mutex>

#include "cli/arguments.h"
#include "cli/outcome_text.h"
#include "cli/part_way.h"
#include "device/port_info.h"
#include "device/trace.h"
#include "korvel_version.h"

namespace {

// With --verbose the link's diagnostics (the line written when a port opens)
// go to standard error for the run; otherwise nowhere, so that standard output
// carries the results alone.
class VerboseTrace {
public:
    VerboseTrace(bool verbose, const CliOutput& output) : on(verbose) {
        if (on) SetTraceHandler([&output](TraceChannel, const std::wstring& text) { output.err(text); });
    }
    ~VerboseTrace() {
        if (on) SetTraceHandler({});
    }
    VerboseTrace(const VerboseTrace&) = delete;
    VerboseTrace& operator=(const VerboseTrace&) = delete;

private:
    bool on;
};

// The output, one text at a time: several ports' threads trace at once.
CliOutput Serialised(const CliOutput& output, std::mutex& mutex) {
    auto locked = [&mutex](const std::function<void(const std::wstring&)>& print) {
        return [&mutex, print](const std::wstring& text) {
            const std::lock_guard lock(mutex);
            print(text);
        };
    };
    return {locked(output.out), locked(output.err)};
}

}  // namespace

int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& given, const CliEnvironment& environment) {
    std::mutex printing;
    const CliOutput output = Serialised(given, printing);
    // Nothing asked at all: what can be asked.
    if (args.empty()) {
        output.err(UsageText());
        return kExitUsage;
    }
    CliArguments parsed;
    parsed.timeouts = environment.timeouts;
    parsed.interrupted = environment.interrupted;
    parsed.now = environment.now;
    if (const auto problem = ParseArguments(args, parsed)) {
        output.err(L"korvelctl: " + problem->line + (problem->usage ? L"\nTry 'korvelctl --help'.\n" : L"\n"));
        return kExitUsage;
    }
    if (!parsed.note.empty()) output.err(parsed.note + L"\n");
    if (parsed.command == Command::Help || parsed.command == Command::Version) {
        output.out(parsed.command == Command::Help ? UsageText() : L"korvelctl " KORVEL_VERSION L"\n");
        return kExitOk;
    }
    if (parsed.allPorts) {
        for (const PortInfo& port : environment.listPorts()) parsed.ports.push_back(toWide(port.port));
        if (parsed.ports.empty()) {
            output.err(NoPortsText() + L"\n");
            return kExitDevice;
        }
    }
    const VerboseTrace trace(parsed.verbose, output);
    return RunCommand(parsed, output);
}

std::wstring PartWayText() { return WaysBackText(PartWayPorts()); }
