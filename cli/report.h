#pragma once
// Where korvelctl writes, and how an outcome ends a command: its line, on
// standard output or standard error, and the exit status its kind gives.

#include <functional>
#include <string>

#include "cli/command.h"
#include "config/json.h"
#include "device/module.h"
#include "device/outcome.h"

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

// The exit status of an operation's outcome, from its kind alone; an input
// refused (a table too long to send, a setting out of range) counts as a
// file that cannot be taken whole.
ExitStatus ExitStatusOf(const Outcome& outcome);
// The same on `module`: kExitInterrupted when Ctrl+C held back its link.
ExitStatus ExitStatusOf(const Outcome& outcome, const Module& module);

// Prints korvelctl's line for the outcome of the command on `module`, on
// standard output when it is done and on standard error otherwise, and gives
// its exit status: kExitInterrupted when the module's link was stopped.
int Report(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output);
