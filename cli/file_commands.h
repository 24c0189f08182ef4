#pragma once
// The commands on .cfg files alone, without a module: show and diff.

#include "cli/arguments.h"
#include "cli/korvelctl.h"

// show FILE [--json]: the settings and tables as the window shows them.
int RunShow(const CliArguments& args, const CliOutput& output);
// diff A B [--json]: what differs; kExitRefused when anything does.
int RunDiff(const CliArguments& args, const CliOutput& output);
