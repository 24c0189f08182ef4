#pragma once
// korvelctl: the configurator's engine on the command line. The program's
// main only hands over the console; tests call this directly.

#include <string>
#include <vector>

#include "cli/cli_output.h"

// Runs one command line (without the program name); the result is the exit status.
int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output);
