#include "cli/arguments.h"

#include <algorithm>
#include <cwctype>

#include "cli/device_commands.h"
#include "cli/file_commands.h"
#include "cli/file_names.h"
#include "cli/kept_command.h"
#include "cli/restore.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"

namespace {

// Which --port a command takes: none; none, but --port is let stand with a
// note, so that an alias naming the port serves for the commands on files
// too; exactly one, with --settle; or one or more (or --all-ports), each run
// at once.
enum class PortUse { None, Ignored, One, Many };

// One of korvelctl's commands: what it takes, its --help line and its function.
struct CommandSpec {
    Command command;
    const wchar_t* name;
    int (*run)(const CliArguments& args, const CliOutput& output);
    const wchar_t* usage = L"";  // what follows the name in --help; each of several forms on a line
    std::size_t minOperands = 0, maxOperands = 0;
    PortUse ports = PortUse::None;
    bool json = false;     // takes --json on one port (on several, every command that runs there does)
    bool count = false;    // takes --count
    bool restore = false;  // takes --store, --dry-run and --no-keep-previous
    bool folder = false;   // takes --keep-previous
    bool prune = false;    // takes --prune
};

// In the order --help lists them.
constexpr CommandSpec kCommandSpecs[] = {
    {.command = Command::Ports, .name = L"ports", .run = RunPorts},
    {.command = Command::Info, .name = L"info", .run = RunInfo, .usage = L"[--json]", .ports = PortUse::Many,
     .json = true},
    {.command = Command::Backup, .name = L"backup", .run = RunBackup, .usage = L"FILE", .minOperands = 1,
     .maxOperands = 1, .ports = PortUse::Many},
    {.command = Command::Restore, .name = L"restore", .run = RunRestore,
     .usage = L"FILE [--store] [--keep-previous DIR | --no-keep-previous]\n--dry-run FILE", .minOperands = 1,
     .maxOperands = 1, .ports = PortUse::Many, .restore = true, .folder = true},
    {.command = Command::Set, .name = L"set", .run = RunSet,
     .usage = L"brightness N | period MS | full-repeat on|off | resistance RA RB", .minOperands = 1,
     .maxOperands = 3, .ports = PortUse::Many},
    {.command = Command::Store, .name = L"store", .run = RunStore, .ports = PortUse::Many},
    {.command = Command::Reload, .name = L"reload", .run = RunReload, .ports = PortUse::Many},
    {.command = Command::Reset, .name = L"reset", .run = RunReset, .ports = PortUse::Many},
    {.command = Command::SendIr, .name = L"send-ir", .run = RunSendIr, .usage = L"CODE", .minOperands = 1,
     .maxOperands = 1, .ports = PortUse::Many},
    {.command = Command::Watch, .name = L"watch", .run = RunWatch, .usage = L"[--count N]", .ports = PortUse::One,
     .count = true},
    {.command = Command::Kept, .name = L"kept", .run = RunKept, .usage = L"[--prune N] [--keep-previous DIR]",
     .folder = true, .prune = true},
    {.command = Command::Show, .name = L"show", .run = RunShow, .usage = L"FILE [--json]", .minOperands = 1,
     .maxOperands = 1, .ports = PortUse::Ignored, .json = true},
    {.command = Command::Diff, .name = L"diff", .run = RunDiff, .usage = L"A B [--json]", .minOperands = 2,
     .maxOperands = 2, .ports = PortUse::Ignored, .json = true},
    {.command = Command::Convert, .name = L"convert", .run = RunConvert, .usage = L"A B", .minOperands = 2,
     .maxOperands = 2, .ports = PortUse::Ignored},
};

const CommandSpec* SpecNamed(const std::wstring& name) {
    for (const CommandSpec& spec : kCommandSpecs)
        if (name == spec.name) return &spec;
    return nullptr;
}

// How many single-character edits (an insertion, a deletion, a change, or
// two neighbours swapped) turn `a` into `b`.
std::size_t EditDistance(std::wstring_view a, std::wstring_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
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
constexpr NumberArgument kPrune{L"--prune", 1, 0xFFFFFFFF, false};

ArgumentProblem Usage(std::wstring line) { return {std::move(line), true}; }

// How a resistance may be typed besides the catalogue's names.
constexpr const wchar_t* kResistorForms = L" (also typed as 3.9k, 3k9, 3.9 kOhm or 3.9k\u03A9; 22 for 22 \u2126)";

// An unknown command, with the nearest one when it is a slip of two edits at most.
ArgumentProblem UnknownCommand(const std::wstring& name) {
    const CommandSpec* nearest = nullptr;
    std::size_t distance = 3;
    for (const CommandSpec& spec : kCommandSpecs) {
        const std::size_t d = EditDistance(name, spec.name);
        if (d < distance) nearest = &spec, distance = d;
    }
    if (!nearest) return Usage(L"unknown command '" + name + L"'");
    return Usage(L"unknown command '" + name + L"'; did you mean '" + nearest->name + L"'?");
}

// Whether `name` ends in .cfg or .json, in any case: a form convert writes.
bool NamesAForm(const std::wstring& name) {
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    std::wstring extension = name.substr(dot);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    return extension == L".cfg" || extension == L".json";
}

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
    return Refused(output == ResistorOutput::Ra ? L"RA" : L"RB", AcceptedResistorNames(output) + kResistorForms, text);
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

// The ports a command runs on, and the options of restore and kept, against
// what the command takes; an ignored --port noted in `parsed`.
std::optional<ArgumentProblem> CheckPortsAndOptions(const CommandSpec& shape, CliArguments& parsed) {
    const std::wstring command = shape.name;
    const bool many = shape.ports == PortUse::Many;
    const bool needs = shape.ports == PortUse::One || many;
    const bool portGiven = !parsed.ports.empty() || parsed.allPorts;
    if (needs && !portGiven) return Usage(command + (many ? L" needs --port or --all-ports" : L" needs --port"));
    if (!needs && parsed.allPorts) return Usage(command + L" takes no --all-ports");
    if (shape.ports == PortUse::None && portGiven) return Usage(command + L" takes no --port");
    if (shape.ports == PortUse::Ignored && portGiven) {
        parsed.note = L"korvelctl: " + command + L" reads files only; --port ignored.";
        parsed.ports.clear();
    }
    if (parsed.allPorts && !parsed.ports.empty()) return Usage(L"--all-ports takes no --port");
    const bool several = parsed.ports.size() > 1 || parsed.allPorts;
    if (several && !many) return Usage(command + L" takes one --port");
    if (parsed.json && !shape.json && !several)
        return Usage(command + (many ? L" takes --json with several ports only" : L" takes no --json"));
    if (parsed.dryRun && !shape.restore) return Usage(command + L" takes no --dry-run");
    if (parsed.prune && !shape.prune) return Usage(command + L" takes no --prune");
    const std::pair<bool, const wchar_t*> restoreOptions[] = {
        {parsed.store, L"--store"}, {parsed.keepPrevious.has_value(), L"--keep-previous"},
        {parsed.noKeepPrevious, L"--no-keep-previous"}};
    for (const auto& [given, option] : restoreOptions) {
        const bool takes = option == std::wstring_view(L"--keep-previous") ? shape.folder : shape.restore;
        if (given && !takes) return Usage(command + L" takes no " + option);
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
    parsed.now = out.now;
    // Help, asked for anywhere on the line or as the command, and the
    // version stand for the whole line.
    const bool help = Has(args, L"--help") || Has(args, L"-h") || (!args.empty() && args[0] == L"help");
    if (help || Has(args, L"--version")) {
        parsed.command = help ? Command::Help : Command::Version;
        out = std::move(parsed);
        return std::nullopt;
    }
    bool countGiven = false;
    std::vector<std::wstring> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool takesValue = arg == L"--port" || arg == L"--settle" || arg == L"--count" ||
                                arg == L"--keep-previous" || arg == L"--prune";
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
        } else if (arg == L"--prune") {
            std::uint32_t keep = 0;
            if (auto problem = ReadNumber(kPrune, args[++i], keep)) return problem;
            parsed.prune = keep;
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
    const CommandSpec* shape = SpecNamed(words.front());
    if (!shape) return UnknownCommand(words.front());
    parsed.command = shape->command;
    parsed.operands.assign(words.begin() + 1, words.end());
    const std::size_t n = parsed.operands.size();
    if (n < shape->minOperands || n > shape->maxOperands)
        return Usage(L"wrong number of operands for " + words.front());
    if (auto problem = CheckPortsAndOptions(*shape, parsed)) return problem;
    if (countGiven && !shape->count) return Usage(words.front() + L" takes no --count");
    if (parsed.command == Command::Convert && !NamesAForm(parsed.operands[1]))
        return Usage(L"convert writes a .cfg or a .json file, not '" + parsed.operands[1] + L"'");
    if (parsed.command == Command::Set) {
        if (auto problem = ReadSetting(parsed.operands, parsed)) return problem;
    } else if (parsed.command == Command::SendIr) {
        if (auto problem = ReadNumber(kIrCode, parsed.operands[0], parsed.irCode)) return problem;
    }
    out = std::move(parsed);
    return std::nullopt;
}

std::wstring UsageText() {
    std::wstring usage = L"usage:\n";
    for (const CommandSpec& spec : kCommandSpecs) {
        const wchar_t* ports = spec.ports == PortUse::Many  ? L"PORTS "
                               : spec.ports == PortUse::One ? L"--port PORT "
                                                            : L"";
        std::wstring forms = spec.usage;
        for (std::size_t start = 0; start <= forms.size();) {
            const std::size_t end = std::min(forms.find(L'\n', start), forms.size());
            const std::wstring form = forms.substr(start, end - start);
            usage += L"  korvelctl " + std::wstring(ports) + spec.name + (form.empty() ? L"" : L" " + form) + L"\n";
            start = end + 1;
        }
    }
    return usage + L"  korvelctl --help | --version\n"
           L"PORTS: --port PORT, once or more, or --all-ports (every port 'ports' lists); several ports\n"
           L"  run at once: one line each (port, result, seconds), then a count; --json: one object each\n"
           L"FILE, A, B: a .cfg file, or the configuration as JSON when the name ends in .json\n"
           L"options:\n"
           L"  --settle MS          wait after opening the port, 0 to 60000 (default 2000)\n"
           L"  --store              restore: also store the configuration in the module, kept at power-up\n"
           L"  --keep-previous DIR  restore: keep the module's configuration from before it in DIR;\n"
           L"                       kept: list DIR (default " + std::wstring(kPreviousFolderHint) + L")\n"
           L"  --no-keep-previous   restore: keep nothing\n"
           L"  --dry-run            restore: send nothing; print what it would change (- module, + file)\n"
           L"  --prune N            kept: keep the newest N of each port, remove the others\n"
           L"  --verbose            the link's diagnostics on standard error\n"
           L"values:\n"
           L"  brightness 0 to 100, period 0 to 65535, CODE 0 to 0xFFFFFFFF, --count and --prune 1 or more;\n"
           L"  numbers in decimal (010 is ten) or 0x hexadecimal\n"
           L"  RA: " + AcceptedResistorNames(ResistorOutput::Ra) + L"\n"
           L"  RB: " + AcceptedResistorNames(ResistorOutput::Rb) + L"\n"
           L"  each also typed as 3.9k, 3k9, \"3.9 kOhm\" or 3.9k\u03A9, and 22 for 22 \u2126\n"
           L"exit status: 0 done, 1 refused by the module, files differ or a dry run would change\n"
           L"  something, 2 usage, 3 file, 4 port or line, 5 restore read back something else,\n"
           L"  130 interrupted by Ctrl+C; with several ports the highest of theirs\n";
}

int RunCommand(const CliArguments& args, const CliOutput& output) {
    for (const CommandSpec& spec : kCommandSpecs)
        if (spec.command == args.command) return spec.run(args, output);
    return kExitUsage;
}
