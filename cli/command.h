#pragma once
// A command line as korvelctl took it apart and checked it: the command, its
// operands, the options, and every value read strictly and checked against
// its range before anything opens the port.

#include <atomic>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "device/module_config.h"
#include "device/serial_link.h"

// korvelctl's commands; Help also stands for --help, -h and help, Version for --version.
enum class Command {
    Ports, Info, Backup, Restore, Set, Store, Reload, Reset, SendIr, Watch, Kept, Show, Diff, Convert, Help, Version,
};

inline std::time_t CurrentTime() { return std::time(nullptr); }

struct CliArguments {
    Command command = Command::Help;
    std::vector<std::wstring> operands;
    std::vector<std::wstring> ports;    // every --port in the order given; with --all-ports, every port listed
    bool allPorts = false;              // --all-ports
    std::wstring port;                  // the one port a command runs on (of `ports`)
    LinkTimeouts timeouts;              // --settle sets settleMs, the wait after opening the port
    const std::atomic<bool>* interrupted = nullptr;  // Ctrl+C's flag, for every link opened
    std::time_t (*now)() = CurrentTime;              // the time a kept configuration is named after
    std::wstring note;                  // said on standard error, and the command still runs: an ignored --port
    bool json = false;                  // --json
    bool verbose = false;               // --verbose
    bool store = false;                 // restore --store
    bool dryRun = false;                // restore --dry-run
    std::optional<std::wstring> keepPrevious;  // restore and kept: --keep-previous DIR
    bool noKeepPrevious = false;        // restore --no-keep-previous
    std::optional<std::uint32_t> count; // watch --count
    std::optional<std::uint32_t> prune; // kept --prune
    Setting setting{};                  // set: the setting it changes
    ModuleSettings values;              // set: its new value, in the field of `setting`
    std::uint32_t irCode = 0;           // send-ir
};
