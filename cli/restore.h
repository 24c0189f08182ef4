#pragma once
// restore: a configuration file into the modules at the given ports, each
// read first and written only when it can take the whole file, with a way
// back; and the dry run, which only reads.

#include "cli/command.h"
#include "cli/report.h"

// restore FILE [--store]: per port, the module read whole; refused when its
// tables have other lengths than the file's; its configuration kept; then the
// settings, every row, and everything read back and compared with the file;
// with --store, then stored in the module. --dry-run: what it would change.
int RunRestore(const CliArguments& args, const CliOutput& output);
