#include "cli/arguments.h"

#include <algorithm>
#include <iterator>

#include "cli/file_names.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"

namespace {

struct CommandShape {
    const wchar_t* name;
    std::size_t minOperands, maxOperands;
    bool device;   // needs --port, takes --settle
    bool many;     // runs on several ports at once: --port more than once, or --all-ports
    bool json;     // takes --json on one port (on several, every command that runs there does)
    bool count;    // takes --count
    bool restore;  // takes --store, --dry-run, --keep-previous and --no-keep-previous
};

constexpr CommandShape kCommands[] = {
    {L"ports", 0, 0, false, false, false, false, false},  {L"info", 0, 0, true, true, true, false, false},
    {L"backup", 1, 1, true, true, false, false, false},    {L"restore", 1, 1, true, true, false, false, true},
    {L"set", 1, 3, true, true, false, false, false},       {L"store", 0, 0, true, true, false, false, false},
    {L"reload", 0, 0, true, true, false, false, false},    {L"reset", 0, 0, true, true, false, false, false},
    {L"send-ir", 1, 1, true, true, false, false, false},   {L"watch", 0, 0, true, false, false, true, false},
    {L"show", 1, 1, false, false, true, false, false},     {L"diff", 2, 2, false, false, true, false, false},
    {L"convert", 2, 2, false, false, false, false, false},
};

const CommandShape* ShapeOf(const std::wstring& command) {
    auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                           [&](const CommandShape& s) { return command == s.name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

// A number argument: its name in messages and the values it takes.
struct NumberArgument {
    const wchar_t* name;
    std::uint32_t min, max;
    bool hex;  // the top of the range is given in hexadecimal
};

constexpr NumberArgument kBrightness{L"brightness", 0, 100, false};
constexpr NumberArgument kPeriod{L"period", 0, 65535, false};
constexpr NumberArgument kIrCode{L"send-ir", 0, 0xFFFFFFFF, true};
constexpr NumberArgument kCount{L"--count", 1, 0xFFFFFFFF, false};
constexpr NumberArgument kSettle{L"--settle", 0, 60000, false};

ArgumentProblem Usage(std::wstring line) { return {std::move(line), true}; }

// A value refused: the argument, what it takes and the value given.
ArgumentProblem Refused(const std::wstring& argument, const std::wstring& takes, const std::wstring& value) {
    return {argument + L" takes " + takes + L", not '" + value + L"'", false};
}

std::optional<ArgumentProblem> ReadNumber(const NumberArgument& argument, const std::wstring& text,
                                          std::uint32_t& out) {
    const auto value = ParseWholeNumber(text);
    if (value && *value >= argument.min && *value <= argument.max) {
        out = *value;
        return std::nullopt;
    }
    const std::wstring max = argument.hex ? FormatIrCode(argument.max) : std::to_wstring(argument.max);
    return Refused(argument.name, L"a number from " + std::to_wstring(argument.min) + L" to " + max, text);
}

std::optional<ArgumentProblem> ReadResistor(ResistorOutput output, const std::wstring& text, std::uint16_t& out) {
    const auto code = ReadResistorName(output, text);
    if (code) {
        out = *code;
        return std::nullopt;
    }
    return Refused(output == ResistorOutput::Ra ? L"RA" : L"RB",
                   AcceptedResistorNames(output) + L" (\u2126 also as Ohm or ohm)", text);
}

// set's setting and value from its operands.
std::optional<ArgumentProblem> ReadSetting(const std::vector<std::wstring>& operands, CliArguments& out) {
    const std::wstring& what = operands[0];
    const std::size_t values = operands.size() - 1;
    if (what == L"resistance") {
        if (values != 2) return Usage(L"set resistance takes RA and RB");
        std::uint16_t ra = 0, rb = 0;
        if (auto problem = ReadResistor(ResistorOutput::Ra, operands[1], ra)) return problem;
        if (auto problem = ReadResistor(ResistorOutput::Rb, operands[2], rb)) return problem;
        out.setting = Setting::DefaultResistance;
        out.values.defaultResistors = static_cast<std::uint16_t>(ra | rb);
        return std::nullopt;
    }
    if (what != L"brightness" && what != L"period" && what != L"full-repeat")
        return Usage(L"unknown setting " + what + L" (brightness, period, full-repeat or resistance)");
    if (values != 1) return Usage(L"set " + what + L" takes one value");
    const std::wstring& value = operands[1];
    std::uint32_t number = 0;
    if (what == L"full-repeat") {
        if (value != L"on" && value != L"off") return Refused(L"full-repeat", L"on or off", value);
        out.setting = Setting::IrFullRepeat;
        out.values.irFullRepeat = value == L"on" ? 1 : 0;
    } else if (what == L"brightness") {
        if (auto problem = ReadNumber(kBrightness, value, number)) return problem;
        out.setting = Setting::MaxBrightness;
        out.values.maxBrightness = static_cast<std::uint8_t>(number);
    } else {
        if (auto problem = ReadNumber(kPeriod, value, number)) return problem;
        out.setting = Setting::IrRepeatPeriod;
        out.values.irRepeatPeriod = static_cast<std::uint16_t>(number);
    }
    return std::nullopt;
}

bool Has(const std::vector<std::wstring>& args, const wchar_t* option) {
    return std::find(args.begin(), args.end(), option) != args.end();
}

// The ports a command runs on, and the options of restore, against what the command takes.
std::optional<ArgumentProblem> CheckPortsAndRestoreOptions(const CommandShape& shape, const CliArguments& parsed) {
    const std::wstring& command = parsed.command;
    const bool portGiven = !parsed.ports.empty() || parsed.allPorts;
    if (shape.device && !portGiven)
        return Usage(command + (shape.many ? L" needs --port or --all-ports" : L" needs --port"));
    if (!shape.device && portGiven)
        return Usage(command + L" takes no " + (parsed.allPorts ? L"--all-ports" : L"--port"));
    if (parsed.allPorts && !parsed.ports.empty()) return Usage(L"--all-ports takes no --port");
    const bool several = parsed.ports.size() > 1 || parsed.allPorts;
    if (several && !shape.many) return Usage(command + L" takes one --port");
    if (parsed.json && !shape.json && !several)
        return Usage(command + (shape.many ? L" takes --json with several ports only" : L" takes no --json"));
    if (parsed.dryRun && !shape.restore) return Usage(command + L" takes no --dry-run");
    const std::pair<bool, const wchar_t*> restoreOptions[] = {
        {parsed.store, L"--store"}, {parsed.keepPrevious.has_value(), L"--keep-previous"},
        {parsed.noKeepPrevious, L"--no-keep-previous"}};
    for (const auto& [given, option] : restoreOptions) {
        if (given && !shape.restore) return Usage(command + L" takes no " + option);
        // A dry run changes nothing: it has nothing to store and nothing to keep.
        if (given && parsed.dryRun) return Usage(std::wstring(L"--dry-run takes no ") + option);
    }
    if (parsed.keepPrevious && parsed.noKeepPrevious) return Usage(L"--no-keep-previous takes no --keep-previous");
    return std::nullopt;
}

}  // namespace

std::optional<ArgumentProblem> ParseArguments(const std::vector<std::wstring>& args, CliArguments& out) {
    CliArguments parsed;
    parsed.timeouts = out.timeouts;
    parsed.interrupted = out.interrupted;
    // Help, asked for anywhere on the line or as the command, and the
    // version stand for the whole line.
    const bool help = Has(args, L"--help") || Has(args, L"-h") || (!args.empty() && args[0] == L"help");
    if (help || Has(args, L"--version")) {
        parsed.command = help ? L"help" : L"version";
        out = std::move(parsed);
        return std::nullopt;
    }
    bool countGiven = false;
    std::vector<std::wstring> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool takesValue = arg == L"--port" || arg == L"--settle" || arg == L"--count" || arg == L"--keep-previous";
        if (takesValue && (i + 1 >= args.size() || args[i + 1].empty())) return Usage(arg + L" needs a value");
        if (arg == L"--port") {
            // The same port twice would be opened twice at once, and refused as busy.
            if (std::find(parsed.ports.begin(), parsed.ports.end(), args[i + 1]) != parsed.ports.end())
                return Usage(L"--port " + args[i + 1] + L" is given twice");
            parsed.ports.push_back(args[++i]);
        } else if (arg == L"--all-ports") {
            parsed.allPorts = true;
        } else if (arg == L"--keep-previous") {
            parsed.keepPrevious = args[++i];
        } else if (arg == L"--no-keep-previous") {
            parsed.noKeepPrevious = true;
        } else if (arg == L"--dry-run") {
            parsed.dryRun = true;
        } else if (arg == L"--settle") {
            if (auto problem = ReadNumber(kSettle, args[++i], parsed.timeouts.settleMs)) return problem;
        } else if (arg == L"--count") {
            std::uint32_t count = 0;
            if (auto problem = ReadNumber(kCount, args[++i], count)) return problem;
            parsed.count = count;
            countGiven = true;
        } else if (arg == L"--json") {
            parsed.json = true;
        } else if (arg == L"--verbose") {
            parsed.verbose = true;
        } else if (arg == L"--store") {
            parsed.store = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            return Usage(L"unknown option " + arg);
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) return Usage(L"no command given");
    parsed.command = words.front();
    parsed.operands.assign(words.begin() + 1, words.end());

    const CommandShape* shape = ShapeOf(parsed.command);
    if (!shape) return Usage(L"unknown command " + parsed.command);
    const std::size_t n = parsed.operands.size();
    if (n < shape->minOperands || n > shape->maxOperands) return Usage(L"wrong number of operands for " + parsed.command);
    if (auto problem = CheckPortsAndRestoreOptions(*shape, parsed)) return problem;
    if (countGiven && !shape->count) return Usage(parsed.command + L" takes no --count");
    if (parsed.command == L"set") {
        if (auto problem = ReadSetting(parsed.operands, parsed)) return problem;
    } else if (parsed.command == L"send-ir") {
        if (auto problem = ReadNumber(kIrCode, parsed.operands[0], parsed.irCode)) return problem;
    }
    out = std::move(parsed);
    return std::nullopt;
}

std::wstring UsageText() {
    return L"usage:\n"
           L"  korvelctl ports\n"
           L"  korvelctl PORTS info [--json]\n"
           L"  korvelctl PORTS backup FILE\n"
           L"  korvelctl PORTS restore FILE [--store] [--keep-previous DIR | --no-keep-previous]\n"
           L"  korvelctl PORTS restore --dry-run FILE\n"
           L"  korvelctl PORTS set brightness N | period MS | full-repeat on|off | resistance RA RB\n"
           L"  korvelctl PORTS store | reload | reset\n"
           L"  korvelctl PORTS send-ir CODE\n"
           L"  korvelctl --port PORT watch [--count N]\n"
           L"  korvelctl show FILE [--json]\n"
           L"  korvelctl diff A B [--json]\n"
           L"  korvelctl convert A B\n"
           L"  korvelctl --help | --version\n"
           L"PORTS: --port PORT, once or more, or --all-ports (every port 'ports' lists); several ports\n"
           L"  run at once: one line each (port, result, seconds), then a count; --json: one object each\n"
           L"FILE, A, B: a .cfg file, or the configuration as JSON when the name ends in .json\n"
           L"options:\n"
           L"  --settle MS          wait after opening the port, 0 to 60000 (default 2000)\n"
           L"  --store              restore: also store the configuration in the module, kept at power-up\n"
           L"  --keep-previous DIR  restore: keep the module's configuration from before it in DIR\n"
           L"                       (default " + std::wstring(kPreviousFolderHint) + L")\n"
           L"  --no-keep-previous   restore: keep nothing\n"
           L"  --dry-run            restore: send nothing; print what it would change (- module, + file)\n"
           L"  --verbose            the link's diagnostics on standard error\n"
           L"values:\n"
           L"  brightness 0 to 100, period 0 to 65535, CODE 0 to 0xFFFFFFFF, --count 1 or more;\n"
           L"  numbers in decimal, 0x for hexadecimal, a leading 0 for octal\n"
           L"  RA: " + AcceptedResistorNames(ResistorOutput::Ra) + L"\n"
           L"  RB: " + AcceptedResistorNames(ResistorOutput::Rb) + L"\n"
           L"  \u2126 also as Ohm or ohm, the space optional: \"3.9 kOhm\", \"22ohm\"\n"
           L"exit status: 0 done, 1 refused by the module, files differ or a dry run would change\n"
           L"  something, 2 usage, 3 file, 4 port or line, 5 restore read back something else,\n"
           L"  130 interrupted by Ctrl+C; with several ports the highest of theirs\n";
}
