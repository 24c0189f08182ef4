#include "cli/arguments.h"

#include <algorithm>
#include <iterator>

namespace {

struct CommandShape {
    const wchar_t* name;
    std::size_t minOperands, maxOperands;
    bool device;     // needs --port, takes --settle
    bool json;       // takes --json
    bool count;      // takes --count
};

constexpr CommandShape kCommands[] = {
    {L"ports", 0, 0, false, false, false},  {L"info", 0, 0, true, true, false},
    {L"backup", 1, 1, true, false, false},  {L"restore", 1, 1, true, false, false},
    {L"set", 2, 3, true, false, false},     {L"store", 0, 0, true, false, false},
    {L"reload", 0, 0, true, false, false},  {L"reset", 0, 0, true, false, false},
    {L"send-ir", 1, 1, true, false, false}, {L"watch", 0, 0, true, false, true},
    {L"show", 1, 1, false, true, false},    {L"diff", 2, 2, false, true, false},
};

const CommandShape* ShapeOf(const std::wstring& command) {
    auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                           [&](const CommandShape& s) { return command == s.name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

// Plain decimal digits only: a wait or a count is no place for guessing.
std::optional<unsigned> Decimal(const std::wstring& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value;
}

}  // namespace

std::optional<std::wstring> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out) {
    CliArguments parsed;
    parsed.timeouts = out.timeouts;
    bool countGiven = false;
    std::vector<std::wstring> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool takesValue = arg == L"--port" || arg == L"--settle" || arg == L"--count";
        if (takesValue && i + 1 >= args.size()) return arg + L" needs a value";
        if (arg == L"--port") {
            parsed.port = args[++i];
        } else if (arg == L"--settle") {
            auto ms = Decimal(args[++i]);
            if (!ms) return L"--settle takes a number of milliseconds";
            parsed.timeouts.settleMs = *ms;
        } else if (arg == L"--count") {
            parsed.count = Decimal(args[++i]);
            if (!parsed.count) return L"--count takes a number";
            countGiven = true;
        } else if (arg == L"--json") {
            parsed.json = true;
        } else if (arg == L"--verbose") {
            parsed.verbose = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            return L"unknown option " + arg;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) return L"no command given";
    parsed.command = words.front();
    parsed.operands.assign(words.begin() + 1, words.end());

    const CommandShape* shape = ShapeOf(parsed.command);
    if (!shape) return L"unknown command " + parsed.command;
    const std::size_t n = parsed.operands.size();
    if (n < shape->minOperands || n > shape->maxOperands) return L"wrong number of operands for " + parsed.command;
    if (shape->device && !parsed.port) return parsed.command + L" needs --port";
    if (!shape->device && parsed.port) return parsed.command + L" takes no --port";
    if (parsed.json && !shape->json) return parsed.command + L" takes no --json";
    if (countGiven && !shape->count) return parsed.command + L" takes no --count";
    out = std::move(parsed);
    return std::nullopt;
}

std::wstring UsageText() {
    return L"usage:\n"
           L"  korvelctl ports\n"
           L"  korvelctl --port PORT info [--json]\n"
           L"  korvelctl --port PORT backup FILE.cfg\n"
           L"  korvelctl --port PORT restore FILE.cfg\n"
           L"  korvelctl --port PORT set brightness N | period MS | full-repeat on|off | resistance RA RB\n"
           L"  korvelctl --port PORT store | reload | reset\n"
           L"  korvelctl --port PORT send-ir CODE\n"
           L"  korvelctl --port PORT watch [--count N]\n"
           L"  korvelctl show FILE.cfg [--json]\n"
           L"  korvelctl diff A.cfg B.cfg [--json]\n"
           L"options:\n"
           L"  --settle MS   wait after opening the port (default 2000)\n"
           L"  --verbose     the link's diagnostics on standard error\n"
           L"RA and RB are names as the window lists them (\"3.9 k\u2126\", \"22 \u2126\", \"\" for none);\n"
           L"numbers take 0x for hexadecimal and a leading 0 for octal.\n";
}
