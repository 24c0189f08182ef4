#pragma once
// The commands on a module at --port, and the list of ports. Each opens the
// port with the --settle wait, calls the module operations and reports their
// outcome in korvelctl's words, why the port did not open included.

#include "cli/command.h"
#include "cli/report.h"

// ports: each serial port's name and display name, tab-separated.
int RunPorts(const CliArguments& args, const CliOutput& output);
// info [--json]: the four settings and the row count of each table.
int RunInfo(const CliArguments& args, const CliOutput& output);
// backup FILE: the whole configuration into a .cfg file.
int RunBackup(const CliArguments& args, const CliOutput& output);
// set brightness N | period MS | full-repeat on|off | resistance RA RB.
int RunSet(const CliArguments& args, const CliOutput& output);
// store, reload, reset: the module's stored configuration.
int RunStore(const CliArguments& args, const CliOutput& output);
int RunReload(const CliArguments& args, const CliOutput& output);
int RunReset(const CliArguments& args, const CliOutput& output);
// send-ir CODE: a test IR code.
int RunSendIr(const CliArguments& args, const CliOutput& output);
// watch [--count N]: one line per change of the live values, polled at the window's rate.
int RunWatch(const CliArguments& args, const CliOutput& output);
