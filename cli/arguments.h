#pragma once
// The command line taken apart and checked, from the one table of
// korvelctl's commands (arguments.cpp) that also gives --help its lines and
// each command the function that runs it.

#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/report.h"

// What is wrong with a command line, as one line without the program's name.
struct ArgumentProblem {
    std::wstring line;
    bool usage = true;  // a usage error, pointed on to --help; false: a value refused with its range
};

// Nothing when the line is acceptable, else its problem. Options may stand
// anywhere. The time-outs and the flag of `out` are kept but for the settle wait.
std::optional<ArgumentProblem> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out);

std::wstring UsageText();

// Runs the parsed command (not Help or Version); its exit status.
int RunCommand(const CliArguments& args, const CliOutput& output);
