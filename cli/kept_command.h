#pragma once
// kept: the configurations restore kept from before it, in the folder of
// --keep-previous or the default one.

#include "cli/command.h"
#include "cli/report.h"

// kept: port, time and file of each, newest first. kept --prune N: the newest
// N of each port stay, the others are removed, each named.
int RunKept(const CliArguments& args, const CliOutput& output);
