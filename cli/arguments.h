#pragma once
// The command line taken apart and checked: the command word, its operands,
// the options, and every value read strictly and checked against its range
// before anything opens the port; and the usage text of --help.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/module_config.h"
#include "device/serial_link.h"

struct CliArguments {
    std::wstring command;               // also "help" for --help, -h and help, "version" for --version
    std::vector<std::wstring> operands;
    std::vector<std::wstring> ports;    // every --port in the order given; with --all-ports, every port listed
    bool allPorts = false;              // --all-ports
    std::wstring port;                  // the one port a command runs on (of `ports`)
    LinkTimeouts timeouts;              // --settle sets settleMs, the wait after opening the port
    const std::atomic<bool>* interrupted = nullptr;  // Ctrl+C's flag, for every link opened
    bool json = false;                  // --json
    bool verbose = false;               // --verbose
    bool store = false;                 // restore --store
    bool dryRun = false;                // restore --dry-run
    std::optional<std::wstring> keepPrevious;  // restore --keep-previous DIR
    bool noKeepPrevious = false;        // restore --no-keep-previous
    std::optional<std::uint32_t> count; // watch --count
    Setting setting{};                  // set: the setting it changes
    ModuleSettings values;              // set: its new value, in the field of `setting`
    std::uint32_t irCode = 0;           // send-ir
};

// What is wrong with a command line, as one line without the program's name.
struct ArgumentProblem {
    std::wstring line;
    bool usage = true;  // a usage error, pointed on to --help; false: a value refused with its range
};

// Nothing when the line is acceptable, else its problem. Options may stand
// anywhere. The time-outs and the flag of `out` are kept but for the settle wait.
std::optional<ArgumentProblem> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out);

std::wstring UsageText();
