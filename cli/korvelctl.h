#pragma once
// korvelctl: the module operations on the command line. The program's main
// only hands over the console; tests call RunKorvelctl directly.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "config/json.h"
#include "device/module.h"
#include "device/outcome.h"
#include "device/port_info.h"
#include "device/serial_link.h"

// Where korvelctl writes its texts: the console in the program, buffers in the
// tests. Every text is a whole number of lines.
struct CliOutput {
    std::function<void(const std::wstring&)> out;  // results
    std::function<void(const std::wstring&)> err;  // failures, usage and, with --verbose, diagnostics
    // With several ports and --json: a member (name, JSON value) for the
    // port's object, beside its lines; unset otherwise.
    std::function<void(const std::string&, JsonValue)> attach = {};
    // With several ports: a change to the running configuration is done and
    // not stored, which the ports' summary then says once for all. Unset for
    // one port, which says it right away.
    std::function<void()> changedUnstored = {};
};

// What korvelctl takes from around it besides its command line.
struct CliEnvironment {
    LinkTimeouts timeouts = {};                       // the module's contract; tests shorten them
    const std::atomic<bool>* interrupted = nullptr;   // raised by Ctrl+C: every port stops before its next exchange
    std::vector<PortInfo> (*listPorts)() = listSerialPorts;  // the ports --all-ports takes
};

// The exit statuses, for scripts that tell the outcomes apart.
enum ExitStatus : int {
    kExitOk = 0,
    kExitRefused = 1,   // the module answered a non-zero status; diff: the files differ
    kExitUsage = 2,     // the command line (or a value on it) is not acceptable
    kExitFile = 3,      // a .cfg file could not be read, written or taken whole
    kExitDevice = 4,    // the port did not open, or the link or the protocol failed
    kExitMismatch = 5,  // restore read back something other than what it wrote
    kExitInterrupted = 130,  // Ctrl+C stopped the command part-way, as a shell counts SIGINT
};

// The exit status of an operation's outcome, from its kind alone; a table
// too long to send counts as a file that cannot be taken whole.
ExitStatus ExitStatusOf(const Outcome& outcome);
// The same on `module`: kExitInterrupted when Ctrl+C held back its link.
ExitStatus ExitStatusOf(const Outcome& outcome, const Module& module);

// Prints korvelctl's line for the outcome of the command on `module`, on
// standard output when it is done and on standard error otherwise, and gives
// its exit status: kExitInterrupted when the module's link was stopped.
int Report(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output);

// Runs one command line (without the program name); the result is the exit
// status. A problem with the line is one line on standard error; --help and
// --version print on standard output; no arguments at all, the usage on
// standard error.
int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output, const CliEnvironment& environment = {});
