#pragma once
// A command's run on the module at one port: the port opened with the
// --settle wait and Ctrl+C's flag, then the command on the connected module.

#include "cli/command.h"
#include "cli/report.h"
#include "device/module.h"

// Opens the port and marks the module connected, as the window's Connect
// button does, without its read-back. Ctrl+C stops its link before the next
// exchange.
Outcome ConnectTo(Module& module, const CliArguments& args);

// Connects to a module holding `held`, then gives the exit status `run` makes
// of the connected module; when the port does not open, that reported.
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
int ReportChange(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output);
