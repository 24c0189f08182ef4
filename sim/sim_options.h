#pragma once
// korvel-sim's command line: the options read and checked, each problem as
// one line naming the option; and its usage text.

#include <optional>
#include <string>
#include <vector>

#include "sim/virtual_module.h"

// A fault as given on the command line, for messages about it.
struct FaultOption {
    std::string given;  // "--refuse getMaxBrightness:3"
    Fault fault;
    bool cutsReply = false;  // --short-reply or --hang-up-on: its point must lie within the reply
};

struct SimOptions {
    bool help = false;
    bool version = false;
    std::string link;
    std::string logPath;
    bool pace = false;
    int hangUpAfter = -1;  // -1: never
    int rows = -1;         // -1: the factory tables
    std::vector<FaultOption> faults;
};

// Nothing when the line is acceptable, else its problem in one line.
std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& out);

// Nothing when every fault can happen to its command in a module holding
// `config`, else why one cannot: a refusal of a command that answers with
// data, or a point past the end of the command's reply.
std::optional<std::string> CheckFaults(const std::vector<FaultOption>& faults, const ModuleConfig& config);

std::string SimUsage();
