#pragma once
// The command line taken apart: the command word, its operands and the
// options; and the usage text shown with every usage error.

#include <optional>
#include <string>
#include <vector>

#include "device/serial_link.h"

struct CliArguments {
    std::wstring command;
    std::vector<std::wstring> operands;
    std::optional<std::wstring> port;  // --port
    LinkTimeouts timeouts;             // --settle sets settleMs, the wait after opening the port
    bool json = false;                 // --json
    bool verbose = false;              // --verbose
    std::optional<unsigned> count;     // watch --count
};

// Nothing when the line is acceptable, else what is wrong with it (one line).
// Options may stand anywhere; the operands are checked for number only. The
// time-outs of `out` are kept but for the settle wait.
std::optional<std::wstring> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out);

std::wstring UsageText();
