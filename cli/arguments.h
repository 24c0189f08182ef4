#pragma once
// The command line taken apart: the command word, its operands and the options.

#include <optional>
#include <string>
#include <vector>

struct CliArguments {
    std::wstring command;
    std::vector<std::wstring> operands;
    std::optional<std::wstring> port;  // --port
    unsigned settleMs = 2000;          // --settle: the wait after opening the port
    bool json = false;                 // --json
    std::optional<unsigned> count;     // watch --count
};

// Nothing when the line is acceptable, else what is wrong with it (one line).
// Options may stand anywhere; the operands are checked for number only.
std::optional<std::wstring> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out);

// Whether the command talks to a module (and so needs --port).
bool IsDeviceCommand(const std::wstring& command);
