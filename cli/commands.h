#pragma once
// One function per korvelctl command; each gives the exit status.

#include "cli/arguments.h"
#include "cli/cli_output.h"

int RunPorts(const CliArguments& args, const CliOutput& output);
int RunInfo(const CliArguments& args, const CliOutput& output);
int RunBackup(const CliArguments& args, const CliOutput& output);
int RunRestore(const CliArguments& args, const CliOutput& output);
// set, store, reload, reset and send-ir: the window's handlers.
int RunHandlerCommand(const CliArguments& args, const CliOutput& output);
int RunWatch(const CliArguments& args, const CliOutput& output);
int RunShow(const CliArguments& args, const CliOutput& output);
int RunDiff(const CliArguments& args, const CliOutput& output);
