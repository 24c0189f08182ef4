#include "sim/sim_options.h"

#include <cerrno>
#include <cstdlib>

#include "sim/command_names.h"
#include "sim/module_commands.h"

namespace {

// A whole text as a number, decimal or 0x hexadecimal, from 0 to `max`.
std::optional<unsigned long> Number(const std::string& text, unsigned long max) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;  // no sign, no blank
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || errno == ERANGE || value > max) return std::nullopt;
    return value;
}

std::string Range(const char* what, unsigned long max) {
    return std::string(what) + " must be a number from 0 to " + std::to_string(max);
}

// An option's fault: the command it names and the number after the colon.
struct FaultShape {
    const char* option;
    FaultKind kind;
    const char* valueName;  // what the number after the colon is; nullptr: none
    bool valueRequired;
    unsigned long fallback, max;
};

constexpr FaultShape kFaults[] = {
    {"--silent-on", FaultKind::Silence, nullptr, false, 0, 0},
    {"--short-reply", FaultKind::Silence, "N", true, 0, 65535},
    {"--late", FaultKind::Late, "MS", false, 200, 60000},
    {"--extra", FaultKind::Extra, "BYTE", false, 0xEE, 255},
    {"--refuse", FaultKind::Refuse, "STATUS", true, 0, 255},
    {"--hang-up-on", FaultKind::HangUp, "N", false, 0, 65535},
};

std::optional<std::string> ReadFault(const FaultShape& shape, const std::string& value, FaultOption& out) {
    const std::string given = std::string(shape.option) + " " + value;
    const std::size_t colon = value.find(':');
    const std::string form = shape.valueName ? std::string("CMD") + (shape.valueRequired ? ":" : "[:") +
                                                   shape.valueName + (shape.valueRequired ? "" : "]")
                                             : "CMD";
    if ((colon == std::string::npos && shape.valueRequired) || (colon != std::string::npos && !shape.valueName))
        return given + ": takes " + form;
    const std::string name = value.substr(0, colon);
    const auto command = CommandNamed(name);
    if (!command) return given + ": no command '" + name + "' (korvel-sim --help lists them)";
    unsigned long number = shape.fallback;
    if (colon != std::string::npos) {
        const auto read = Number(value.substr(colon + 1), shape.max);
        if (!read) return given + ": " + Range(shape.valueName, shape.max) + " after the colon";
        number = *read;
    }
    Fault fault;
    fault.kind = shape.kind;
    fault.command = *command;
    fault.times = -1;  // a program's faults last as long as it runs
    switch (shape.kind) {
    case FaultKind::Silence:
    case FaultKind::HangUp: fault.afterBytes = number; break;
    case FaultKind::Late: fault.delayMs = static_cast<unsigned>(number); break;
    case FaultKind::Extra: fault.extra = {static_cast<std::uint8_t>(number)}; break;
    case FaultKind::Refuse: fault.status = static_cast<std::uint8_t>(number); break;
    }
    out = {given, fault, shape.kind == FaultKind::HangUp || std::string(shape.option) == "--short-reply"};
    return std::nullopt;
}

// The length of the module's reply to a command, from a module holding `config`.
std::size_t ReplyLength(std::uint8_t command, const ModuleConfig& config) {
    ModuleState scratch{config, config};
    std::vector<std::uint8_t> request(1 + static_cast<std::size_t>(RequestArgumentBytes(command)), 0);
    request[0] = command;
    return ExecuteRequest(scratch, request, {}).size();
}

}  // namespace

std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& out) {
    SimOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") parsed.help = true;
        else if (flag == "--version") parsed.version = true;
        else if (flag == "--pace") parsed.pace = true;
        else {
            const FaultShape* fault = nullptr;
            for (const FaultShape& shape : kFaults)
                if (flag == shape.option) fault = &shape;
            const bool takesValue = fault || flag == "--link" || flag == "--log" || flag == "--rows" ||
                                    flag == "--hang-up-after";
            if (!takesValue) return "unknown option " + flag;
            if (i + 1 >= args.size()) return flag + " needs a value";
            const std::string& value = args[++i];
            if (fault) {
                FaultOption option;
                if (auto problem = ReadFault(*fault, value, option)) return problem;
                parsed.faults.push_back(option);
            } else if (flag == "--link") {
                parsed.link = value;
            } else if (flag == "--log") {
                parsed.logPath = value;
            } else {
                const bool rows = flag == "--rows";
                const unsigned long max = rows ? 255 : 1000000;
                const auto number = Number(value, max);
                if (!number) return flag + " " + value + ": " + Range("N", max);
                (rows ? parsed.rows : parsed.hangUpAfter) = static_cast<int>(*number);
            }
        }
    }
    out = std::move(parsed);
    return std::nullopt;
}

std::optional<std::string> CheckFaults(const std::vector<FaultOption>& faults, const ModuleConfig& config) {
    for (const FaultOption& option : faults) {
        const auto command = static_cast<std::uint8_t>(option.fault.command);
        const std::string name = CommandName(command);
        if (option.fault.kind == FaultKind::Refuse && !RepliesWithStatus(command))
            return option.given + ": " + name + " answers with data, not a status; only a status can be refused";
        const std::size_t length = ReplyLength(command, config);
        // Cutting a reply at its end, or past it, leaves it whole; hanging up there still hangs up.
        const bool past = option.fault.kind == FaultKind::HangUp ? option.fault.afterBytes > length
                                                                 : option.fault.afterBytes >= length;
        if (option.cutsReply && past)
            return option.given + ": the reply to " + name + " has " + std::to_string(length) +
                   (length == 1 ? " byte" : " bytes") + ", so N must be " +
                   (option.fault.kind == FaultKind::HangUp ? "at most " : "less than ") + std::to_string(length);
    }
    return std::nullopt;
}

std::string SimUsage() {
    return "usage: korvel-sim [options]\n"
           "  --link PATH            also reach the pseudo-terminal through a symlink at PATH\n"
           "  --log FILE             append each exchange to FILE as hex: REQUEST -> REPLY\n"
           "  --pace                 send reply bytes at the pace of a 115200 baud line\n"
           "  --rows N               give each of the four tables N rows (0 to 255)\n"
           "  --silent-on CMD        never answer command CMD\n"
           "  --short-reply CMD:N    send only the first N bytes of the replies to CMD\n"
           "  --late CMD[:MS]        send the replies to CMD MS ms late (default 200)\n"
           "  --extra CMD[:BYTE]     follow each reply to CMD with one byte more (default 0xEE)\n"
           "  --refuse CMD:STATUS    answer CMD, a command that answers a status, with STATUS\n"
           "                         and leave the module unchanged\n"
           "  --hang-up-on CMD[:N]   hang up after N bytes of the reply to CMD (default 0)\n"
           "  --hang-up-after N      hang up after N exchanges, then exit\n"
           "  --version              print the version and exit\n"
           "CMD is a command's name (in any case) or number:\n" +
           CommandList();
}
