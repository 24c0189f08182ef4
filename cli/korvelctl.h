#pragma once
// korvelctl: the module operations on the command line. The program's main
// only hands over the console; tests call RunKorvelctl directly.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/report.h"
#include "device/port_info.h"
#include "device/serial_link.h"

// What korvelctl takes from around it besides its command line.
struct CliEnvironment {
    LinkTimeouts timeouts = {};                       // the module's contract; tests shorten them
    const std::atomic<bool>* interrupted = nullptr;   // raised by Ctrl+C: every port stops before its next exchange
    std::vector<PortInfo> (*listPorts)() = listSerialPorts;  // the ports --all-ports takes
    std::time_t (*now)() = CurrentTime;               // the time a kept configuration is named after
};

// Runs one command line (without the program name); the result is the exit
// status. A problem with the line is one line on standard error; --help and
// --version print on standard output; no arguments at all, the usage on
// standard error.
int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output, const CliEnvironment& environment = {});

// What a second Ctrl+C says before it ends korvelctl: the ports a restore has
// left part-way, each with the command that puts back what it had before;
// nothing when there are none.
std::wstring PartWayText();
