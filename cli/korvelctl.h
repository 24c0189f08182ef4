#pragma once
// korvelctl: the configurator's engine on the command line. The program's
// main only hands over the console; tests call this directly.

#include <string>
#include <vector>

#include "cli/cli_output.h"
#include "device/serial_link.h"

// Runs one command line (without the program name); the result is the exit
// status. The link's time-outs are the module's contract; tests shorten them.
int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output, const LinkTimeouts& timeouts = {});
