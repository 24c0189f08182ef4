#pragma once
// A command on several modules at once: one thread and one module per port,
// each port's exchanges strictly one after another, a port that fails or
// stalls holding up none of the others. Each port's result becomes one line
// (or one JSON object), printed in the order the ports were given.

#include <functional>

#include "cli/command.h"
#include "cli/report.h"

// Whether the command runs on several ports: --port more than once, or --all-ports.
bool SeveralPorts(const CliArguments& args);

// A command on the one port `args.port`, printing to `output`; its exit status.
using PortCommand = std::function<int(const CliArguments& args, const CliOutput& output)>;

// On one --port, the command as it is. On several, the command in a thread of
// its own per port, what it prints held back; then, per port in the order
// given as soon as it and the ports before it are done, its line: what it
// printed, joined, on standard output when it is done and on standard error
// otherwise; then the count of what happened and, after changes to the
// running configuration alone, the command that stores them. With --json, one
// JSON object per port on standard output instead, and nothing else. The exit
// status is the highest of the ports' statuses.
int RunOnPorts(const CliArguments& args, const CliOutput& output, const PortCommand& command);
