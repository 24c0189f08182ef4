#pragma once
// korvelctl: the module operations on the command line. The program's main
// only hands over the console; tests call RunKorvelctl directly.

#include <functional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "device/module.h"
#include "device/outcome.h"
#include "device/serial_link.h"

// Where korvelctl writes its texts: the console in the program, buffers in the
// tests. Every text is a whole number of lines.
struct CliOutput {
    std::function<void(const std::wstring&)> out;  // results
    std::function<void(const std::wstring&)> err;  // failures, usage and, with --verbose, diagnostics
};

// The exit statuses, for scripts that tell the outcomes apart.
enum ExitStatus : int {
    kExitOk = 0,
    kExitRefused = 1,   // the module answered a non-zero status; diff: the files differ
    kExitUsage = 2,     // the command line (or a value on it) is not acceptable
    kExitFile = 3,      // a .cfg file could not be read, written or taken whole
    kExitDevice = 4,    // the port did not open, or the link or the protocol failed
    kExitMismatch = 5,  // restore read back something other than what it wrote
};

// The exit status of an operation's outcome, from its kind alone; a table
// too long to send counts as a file that cannot be taken whole.
ExitStatus ExitStatusOf(const Outcome& outcome);

// Prints korvelctl's line for the outcome of the command on `module`, on
// standard output when it is done and on standard error otherwise, and gives
// its exit status.
int Report(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output);

// Runs one command line (without the program name); the result is the exit
// status. A problem with the line is one line on standard error; --help and
// --version print on standard output; no arguments at all, the usage on
// standard error. The link's time-outs are the module's contract; tests shorten them.
int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output, const LinkTimeouts& timeouts = {});
