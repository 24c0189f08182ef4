#include "cli/outcome_text.h"

#include <cwchar>
#include <cwctype>

#include "actions/action_writes.h"
#include "cli/file_names.h"
#include "cli/file_words.h"
#include "config/config_file.h"
#include "config/whole_config.h"
#include "device/text.h"
#include "settings/setting_commands.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"

namespace {

std::wstring Capitalized(std::wstring text) {
    if (!text.empty()) text[0] = static_cast<wchar_t>(std::towupper(text[0]));
    return text;
}

std::wstring File(const CliArguments& args) { return args.operands.empty() ? L"" : args.operands[0]; }

std::wstring SettingName(Setting setting) {
    switch (setting) {
    case Setting::IrRepeatPeriod: return L"IR period";
    case Setting::IrFullRepeat: return L"IR full repeat";
    case Setting::MaxBrightness: return L"max brightness";
    case Setting::DefaultResistance: break;
    }
    return L"default resistance";
}

std::wstring SettingValue(Setting setting, const ModuleSettings& s) {
    switch (setting) {
    case Setting::IrRepeatPeriod: return std::to_wstring(s.irRepeatPeriod) + L" ms";
    case Setting::IrFullRepeat: return s.irFullRepeat ? L"on" : L"off";
    case Setting::MaxBrightness: return std::to_wstring(s.maxBrightness);
    case Setting::DefaultResistance: break;
    }
    return L"RA " + ResistorNameOrCode(ResistorOutput::Ra, s.defaultResistors) + L" and RB " +
           ResistorNameOrCode(ResistorOutput::Rb, s.defaultResistors);
}

// The module's status byte, with its meaning where it is known: the module
// answers 1 for a row past the end of a table, which has a fixed length.
std::wstring Response(const Outcome& outcome) {
    std::wstring text = L"response: " + std::to_wstring(outcome.status);
    if (outcome.operation == &kWriteAllActions && outcome.status == 1) text += L" (no such row)";
    return text;
}

std::wstring OpenFailureText(const OpenFailure& failure) {
    switch (failure.fault) {
    case OpenFault::NotFound: return L"not found";
    case OpenFault::NotSerial: return L"not a serial port";
    case OpenFault::Busy: return L"busy, in use by another program";
    case OpenFault::PermissionDenied:
        return failure.group.empty()
                   ? L"permission denied"
                   : L"permission denied; join the group " + WidenBytes(failure.group) + L" and log in again";
    case OpenFault::Other:
        if (!failure.systemText.empty()) return WidenText(failure.systemText);
        break;
    case OpenFault::None: break;
    }
    return L"it did not open";
}

// A failed exchange, in lower case: nothing ever came back, a reply came
// short, or the link's read or write call failed.
std::wstring LinkFailureText(const Outcome& outcome, const Module& module, const std::wstring& port) {
    if (outcome.kind == OutcomeKind::ProtocolError) {
        if (module.link.received == 0) return L"no module answered on " + port;
        return L"the module on " + port + L" answered fewer bytes than expected";
    }
    std::wstring call = WidenBytes(outcome.error);  // "Read failed." or "Write failed."
    if (!call.empty() && call.back() == L'.') call.pop_back();
    if (!call.empty()) call[0] = static_cast<wchar_t>(std::towlower(call[0]));
    return L"lost the line to the module on " + port + (call.empty() ? L"" : L" (" + call + L")");
}

std::wstring RowName(std::uint32_t table, std::size_t row) {
    return std::wstring(kTables[table % kTableCount].title) + L" row " + std::to_wstring(row);
}

// Where a restore's exchanges stood when they stopped.
std::wstring RestorePlace(const Outcome& outcome) {
    if (outcome.operation == &kWriteHeldSetting) return L"the " + SettingName(outcome.setting) + L" setting";
    return RowName(outcome.table, outcome.row);
}

// A restore's writes: the settings, then the rows.
bool Writing(const Outcome& outcome) {
    return outcome.operation == &kWriteHeldSetting || outcome.operation == &kWriteAllActions;
}

// A link that the stop flag held back, for each command: only a restore can
// be left with part of its changes made.
std::wstring InterruptedText(const Outcome& outcome, const CliArguments& args) {
    const bool restoring = args.command == Command::Restore && !args.dryRun;
    if (restoring && Writing(outcome)) return L"Restore interrupted before " + RestorePlace(outcome) + L".";
    if (restoring && outcome.operation == &kReadWholeConfig)
        return L"Restore interrupted while reading the module back; all of " + File(args) + L" was sent.";
    if (outcome.operation == &kSaveModuleConfig)
        return L"Interrupted before store; the module's stored configuration is unchanged.";
    return L"Interrupted; the module on " + args.port + L" is unchanged.";
}

std::wstring LinkFailedText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    if (module.link.interrupted) return InterruptedText(outcome, args);
    const std::wstring failure = LinkFailureText(outcome, module, args.port);
    const bool restoring = args.command == Command::Restore && !args.dryRun;
    if (restoring && Writing(outcome)) return L"Restore stopped at " + RestorePlace(outcome) + L": " + failure + L".";
    if (restoring && outcome.operation == &kReadWholeConfig)
        return L"Restore stopped while reading the module back: " + failure + L".";
    return Capitalized(failure) + L".";
}

// What a command on the stored configuration did, or why the module refused it.
struct StoredConfigWords {
    const OperationId* operation;
    const wchar_t* done;
    const wchar_t* verb;     // "The module refused to ..."
    const wchar_t* config;   // "... its ... configuration is unchanged."
};
constexpr StoredConfigWords kStoredConfigWords[] = {
    {&kSaveModuleConfig, L"The running configuration is stored in the module.", L"store", L"stored"},
    {&kLoadModuleConfig, L"The module is back to its stored configuration.", L"reload", L"running"},
    {&kResetModuleConfig, L"The module runs its default configuration.", L"reset", L"running"},
};

const StoredConfigWords* StoredConfigWordsOf(const Outcome& outcome) {
    for (const StoredConfigWords& words : kStoredConfigWords)
        if (words.operation == outcome.operation) return &words;
    return nullptr;
}

std::wstring DoneText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    const OperationId* op = outcome.operation;
    if (const StoredConfigWords* words = StoredConfigWordsOf(outcome)) return words->done;
    if (op == &kSaveConfigFile) return L"Saved 4 tables and 4 settings to " + File(args) + L".";
    if (op == &kWriteAllActions)
        return L"Restored 4 settings and 4 tables from " + File(args) + L"; the module read them back the same.";
    if (op == &kWriteHeldSetting)
        return Capitalized(SettingName(outcome.setting)) + L" is " +
               SettingValue(outcome.setting, module.held.settings) + L".";
    if (op == &kSendIrCode) return L"Sent IR code " + FormatIrCode(args.irCode) + L".";
    return {};
}

std::wstring RefusedText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    const OperationId* op = outcome.operation;
    const std::wstring response = Response(outcome);
    if (const StoredConfigWords* words = StoredConfigWordsOf(outcome))
        return L"The module refused to " + std::wstring(words->verb) + L", " + response + L"; its " + words->config +
               L" configuration is unchanged.";
    if (op == &kWriteAllActions)
        return L"Restore stopped: the module refused " + RowName(outcome.table, outcome.row) + L", " + response + L".";
    if (op == &kWriteHeldSetting) {
        const std::wstring name = SettingName(outcome.setting);
        const std::wstring refused = name + L" " + SettingValue(outcome.setting, module.held.settings);
        if (args.command == Command::Restore)
            return L"Restore stopped: the module refused " + refused + L", " + response + L".";
        return L"The module refused " + refused + L", " + response + L"; " + name + L" is unchanged.";
    }
    return L"The module refused to send IR code " + FormatIrCode(args.irCode) + L", " + response + L".";
}

// Row numbers, rising, as ranges: "0-12", "1, 3, 5-7".
std::wstring RowRanges(const std::vector<std::size_t>& rows) {
    std::wstring text;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t last = i;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1) ++last;
        text += (text.empty() ? L"" : L", ") + std::to_wstring(rows[i]) +
                (last > i ? L"-" + std::to_wstring(rows[last]) : L"");
        i = last + 1;
    }
    return text;
}

// Ports by name in brackets after their count; nothing for none.
std::wstring Named(const std::vector<std::wstring>& ports) {
    std::wstring names;
    for (const std::wstring& port : ports) names += (names.empty() ? L" (" : L", ") + port;
    return names.empty() ? names : names + L")";
}

}  // namespace

std::wstring OutcomeText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    switch (outcome.kind) {
    case OutcomeKind::Done: return DoneText(outcome, module, args);
    case OutcomeKind::Refused: return RefusedText(outcome, module, args);
    case OutcomeKind::NotConnected:
        return L"Cannot open " + args.port + L": " + OpenFailureText(outcome.openFailure) + L".";
    case OutcomeKind::SerialError:
    case OutcomeKind::ProtocolError: return LinkFailedText(outcome, module, args);
    case OutcomeKind::FileError: return FileFaultText(outcome, File(args));
    case OutcomeKind::InvalidInput: break;
    }
    // The command line has read every value; only a file's contents, held, can be refused.
    return RefusedFileText(outcome, module.held, File(args));
}

std::wstring NotStoredText(const std::vector<std::wstring>& ports) {
    std::wstring store = L"'korvelctl";
    for (const std::wstring& port : ports) store += L" --port " + ShellWord(port);
    store += L" store'";
    if (ports.size() == 1)
        return L"The module returns to its stored configuration at its next power-up unless " + store + L" is run.";
    return L"The modules return to their stored configurations at their next power-up unless " + store + L" is run.";
}

std::wstring NoPortsText() { return L"No serial ports found."; }

std::wstring KeptText(const std::wstring& kept) { return L"Kept the module's previous configuration in " + kept + L"."; }

std::wstring ReadFailedText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    if (module.link.interrupted) return L"Restore interrupted before writing anything; the module is unchanged.";
    return L"Restore stopped before writing anything: " + LinkFailureText(outcome, module, args.port) + L".";
}

std::wstring KeepFailedText(const Outcome& outcome, const std::wstring& kept) {
    return L"Restore stopped before writing anything: cannot keep the module's configuration in " + kept + L": " +
           FileFaultWords(outcome) + L".";
}

std::wstring NoPreviousFolderText() {
    return L"Restore stopped before opening a port: no folder to keep the module's previous configuration in (" +
           std::wstring(kPreviousFolderHint) + L"); give --keep-previous DIR or --no-keep-previous.";
}

std::wstring PreviousFolderFailedText(const std::wstring& folder, std::optional<SystemFault> reason) {
    return L"Restore stopped before opening a port: cannot make the folder " + folder + L" for the module's previous "
           L"configuration: " + (reason ? SystemFaultWords(*reason) : L"a file of that name is in the way") + L".";
}

std::wstring AlreadyHeldText(const CliArguments& args) {
    return L"The module on " + args.port + L" already holds " + File(args) +
           L"; nothing was written and no previous configuration kept.";
}

std::wstring WayBackText(const std::wstring& port, const std::wstring& kept) {
    return L"To put back the configuration it had before: korvelctl --port " + ShellWord(port) + L" restore " +
           ShellWord(kept);
}

std::wstring WaysBackText(const std::vector<PartWayPort>& ports) {
    if (ports.empty()) return {};
    std::wstring text = L"To put back what the ports left part-way had before:\n";
    for (const PartWayPort& part : ports) {
        if (part.kept.empty()) text += part.port + L": nothing was kept to put back.\n";
        else text += L"korvelctl --port " + ShellWord(part.port) + L" restore " + ShellWord(part.kept) + L"\n";
    }
    return text;
}

std::wstring MismatchText(const ConfigDiff& first, bool oneLine) {
    if (!oneLine) {
        std::wstring lines = L"Read back differs from the file (- module, + file):\n" + Joined(DiffLines(first));
        lines.pop_back();
        return lines;
    }
    if (!first.settings.empty())
        return L"Read back differs from the file: " + DiffLines(first).front() + L" (module -> file).";
    const RowDifference& row = first.rows.front();
    return L"Read back differs from the file at " + RowName(row.table, row.row) + L".";
}

std::wstring DryRunHeader(const CliArguments& args) {
    return L"Restoring " + File(args) + L" would change on " + args.port + L" (- module, + file):";
}

std::wstring DryRunLine(const ConfigDiff& diff, std::size_t settings, const CliArguments& args) {
    if (diff.none()) return L"The module on " + args.port + L" already holds " + File(args) + L"; nothing to change.";
    std::wstring text = L"Restoring " + File(args) + L" would change " + std::to_wstring(settings) +
                        (settings == 1 ? L" setting and " : L" settings and ") + std::to_wstring(diff.rows.size()) +
                        (diff.rows.size() == 1 ? L" row: " : L" rows: ");
    std::wstring parts;
    for (const std::wstring& line : DiffLines(ConfigDiff{diff.settings, {}})) parts += (parts.empty() ? L"" : L"; ") + line;
    for (const TableInfo& info : kTables) {
        std::vector<std::size_t> rows;
        for (const RowDifference& row : diff.rows)
            if (row.table == info.id) rows.push_back(row.row);
        if (rows.empty()) continue;
        parts += (parts.empty() ? L"" : L"; ") + std::wstring(info.title) + (rows.size() == 1 ? L" row " : L" rows ") +
                 RowRanges(rows);
    }
    return text + parts + L".";
}

std::wstring ConvertedText(const std::wstring& from, const std::wstring& to) {
    return L"Converted " + from + L" to " + to + L".";
}

std::wstring PortLine(const std::wstring& port, const std::wstring& text, double seconds) {
    wchar_t time[32];
    std::swprintf(time, std::size(time), L" (%.2f s)", seconds);
    return port + L": " + text + time;
}

std::wstring SummaryText(const PortCounts& counts, bool dryRun) {
    const std::size_t ports = counts.done + counts.changes + counts.failed.size() + counts.interrupted.size();
    std::wstring text = std::to_wstring(ports) + (ports == 1 ? L" port: " : L" ports: ");
    if (dryRun)
        text += std::to_wstring(counts.changes) + L" would change, " + std::to_wstring(counts.done) + L" unchanged, ";
    else
        text += std::to_wstring(counts.done) + L" done, ";
    text += std::to_wstring(counts.failed.size()) + L" failed" + Named(counts.failed);
    if (counts.interrupted.empty()) return text;
    return text + L", " + std::to_wstring(counts.interrupted.size()) + L" interrupted" + Named(counts.interrupted);
}

std::wstring ShellWord(const std::wstring& word) {
    std::wstring plain = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-+=.,/:@%";
#ifdef _WIN32
    plain += L'\\';  // a path's separator, not an escape
#endif
    if (!word.empty() && word.find_first_not_of(plain) == std::wstring::npos) return word;
#ifdef _WIN32
    return L"\"" + word + L"\"";
#else
    std::wstring quoted = L"'";
    for (wchar_t c : word) quoted += c == L'\'' ? std::wstring(L"'\\''") : std::wstring(1, c);
    return quoted + L"'";
#endif
}
