#pragma once
// The commands on configuration files alone, without a module: show, diff
// and convert. Each takes a file in either form, .cfg or JSON, by its name.

#include "cli/command.h"
#include "cli/report.h"

// show FILE [--json]: the settings and tables as the window shows them.
int RunShow(const CliArguments& args, const CliOutput& output);
// diff A B [--json]: what differs; kExitRefused when anything does.
int RunDiff(const CliArguments& args, const CliOutput& output);
// convert A B: A's configuration written to B in the form B's name asks for;
// an earlier B is replaced only once the new one is whole.
int RunConvert(const CliArguments& args, const CliOutput& output);
