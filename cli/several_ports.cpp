#include "cli/several_ports.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/config_text.h"
#include "cli/outcome_text.h"
#include "device/text.h"

namespace {

// One port's run: its own arguments, and what it printed, held back until
// the ports before it have had their lines.
struct PortRun {
    CliArguments args;
    std::vector<std::wstring> lines;
    std::vector<std::pair<std::string, JsonValue>> members;  // attached to its JSON object
    bool changedUnstored = false;
    int status = kExitOk;
    double seconds = 0;
};

void AddLines(std::vector<std::wstring>& lines, const std::wstring& text) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void Run(PortRun& run, const PortCommand& command) {
    const auto start = std::chrono::steady_clock::now();
    const auto hold = [&run](const std::wstring& text) { AddLines(run.lines, text); };
    const CliOutput held{hold, hold,
                         [&run](const std::string& name, JsonValue value) {
                             run.members.emplace_back(name, std::move(value));
                         },
                         [&run] { run.changedUnstored = true; }};
    run.status = command(run.args, held);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A dry run that would change something says so with status 1; that is no failure.
bool Failed(const CliArguments& args, int status) {
    return status != kExitOk && !(args.dryRun && status == kExitRefused);
}

JsonValue PortObject(const PortRun& run) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", run.seconds);
    JsonValue lines = JsonArray({});
    for (const std::wstring& line : run.lines) lines.items.push_back(JsonString(ToUtf8(line)));
    JsonValue object = JsonObject({{"port", JsonString(ToUtf8(run.args.port))},
                                   {"status", JsonNumber(static_cast<std::uint64_t>(run.status))},
                                   {"seconds", {.kind = JsonKind::Number, .text = seconds}},
                                   {"lines", std::move(lines)}});
    for (const auto& [name, value] : run.members) object.members.emplace_back(name, value);
    return object;
}

void PrintResult(const PortRun& run, const CliOutput& output) {
    if (run.args.json) return output.out(JsonLine(PortObject(run)));
    std::wstring text;
    for (const std::wstring& line : run.lines) text += (text.empty() ? L"" : L" ") + line;
    const std::wstring line = PortLine(run.args.port, text, run.seconds) + L"\n";
    if (Failed(run.args, run.status)) output.err(line);
    else output.out(line);
}

}  // namespace

bool SeveralPorts(const CliArguments& args) { return args.ports.size() > 1 || args.allPorts; }

int RunOnPorts(const CliArguments& args, const CliOutput& output, const PortCommand& command) {
    if (!SeveralPorts(args)) {
        CliArguments one = args;
        one.port = args.ports.at(0);
        return command(one, output);
    }
    std::vector<PortRun> runs(args.ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runs[i].args = args;
        runs[i].args.port = args.ports[i];
        threads.emplace_back(Run, std::ref(runs[i]), std::cref(command));
    }
    PortCounts counts;
    std::vector<std::wstring> unstored;
    int worst = kExitOk;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        threads[i].join();
        const PortRun& run = runs[i];
        PrintResult(run, output);
        worst = std::max(worst, run.status);
        if (run.status == kExitInterrupted) {
            counts.interrupted.push_back(run.args.port);
        } else if (Failed(args, run.status)) {
            counts.failed.push_back(run.args.port);
        } else if (run.status != kExitOk) {
            ++counts.changes;
        } else {
            ++counts.done;
            if (run.changedUnstored) unstored.push_back(run.args.port);
        }
    }
    if (args.json) return worst;
    const std::wstring summary = SummaryText(counts, args.dryRun) + L"\n";
    if (!counts.failed.empty() || !counts.interrupted.empty()) output.err(summary);
    else output.out(summary);
    if (!unstored.empty()) output.out(NotStoredText(unstored) + L"\n");
    return worst;
}
