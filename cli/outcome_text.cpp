#include "cli/outcome_text.h"

#include <cwctype>

#include "actions/cell_text.h"
#include "device/text.h"

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

std::wstring ResistorText(const std::wstring& name) { return name.empty() ? L"none" : name; }

std::wstring SettingValue(Setting setting, const ModuleSettings& s) {
    switch (setting) {
    case Setting::IrRepeatPeriod: return std::to_wstring(s.irRepeatPeriod) + L" ms";
    case Setting::IrFullRepeat: return s.irFullRepeat ? L"on" : L"off";
    case Setting::MaxBrightness: return std::to_wstring(s.maxBrightness);
    case Setting::DefaultResistance: break;
    }
    return L"RA " + ResistorText(ResistorAName(s.defaultResistors)) + L" and RB " +
           ResistorText(ResistorBName(s.defaultResistors));
}

// The module's status byte, with its meaning where it is known: the module
// answers 1 for a row past the end of a table, which has a fixed length.
std::wstring Response(const Outcome& outcome) {
    std::wstring text = L"response: " + std::to_wstring(outcome.status);
    if (outcome.operation == Operation::WriteAllActions && outcome.status == 1) text += L" (no such row)";
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
        if (!failure.systemText.empty()) {
            std::wstring text;
            return FromUtf8(failure.systemText, text) ? text : WidenBytes(failure.systemText);
        }
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

std::wstring DoneText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    switch (outcome.operation) {
    case Operation::SaveConfigFile: return L"Saved 4 tables and 4 settings to " + File(args) + L".";
    case Operation::WriteAllActions:
        return L"Restored 4 settings and 4 tables from " + File(args) + L"; the module read them back the same.";
    case Operation::WriteHeldSetting:
        return Capitalized(SettingName(outcome.setting)) + L" is " +
               SettingValue(outcome.setting, module.held.settings) + L".";
    case Operation::SaveModuleConfig: return L"The running configuration is stored in the module.";
    case Operation::LoadModuleConfig: return L"The module is back to its stored configuration.";
    case Operation::ResetModuleConfig: return L"The module runs its default configuration.";
    case Operation::SendIrCode: return L"Sent IR code " + FormatIrCode(args.irCode) + L".";
    default: return StatusText(outcome);
    }
}

std::wstring RefusedText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    const std::wstring response = Response(outcome);
    switch (outcome.operation) {
    case Operation::WriteAllActions:
        return L"Restore stopped: the module refused " + std::wstring(kTables[outcome.table % kTableCount].title) +
               L" row " + std::to_wstring(outcome.row) + L", " + response + L".";
    case Operation::WriteHeldSetting: {
        const std::wstring name = SettingName(outcome.setting);
        const std::wstring refused = name + L" " + SettingValue(outcome.setting, module.held.settings);
        if (args.command == L"restore") return L"Restore stopped: the module refused " + refused + L", " + response + L".";
        return L"The module refused " + refused + L", " + response + L"; " + name + L" is unchanged.";
    }
    case Operation::SaveModuleConfig:
        return L"The module refused to store, " + response + L"; its stored configuration is unchanged.";
    case Operation::LoadModuleConfig:
        return L"The module refused to reload, " + response + L"; its running configuration is unchanged.";
    case Operation::ResetModuleConfig:
        return L"The module refused to reset, " + response + L"; its running configuration is unchanged.";
    case Operation::SendIrCode:
        return L"The module refused to send IR code " + FormatIrCode(args.irCode) + L", " + response + L".";
    default: return StatusText(outcome);
    }
}

}  // namespace

std::wstring OutcomeText(const Outcome& outcome, const Module& module, const CliArguments& args) {
    const std::wstring port = args.port.value_or(L"");
    switch (outcome.kind) {
    case OutcomeKind::Done: return DoneText(outcome, module, args);
    case OutcomeKind::Refused: return RefusedText(outcome, module, args);
    case OutcomeKind::NotConnected: return L"Cannot open " + port + L": " + OpenFailureText(outcome.openFailure) + L".";
    case OutcomeKind::SerialError:
    case OutcomeKind::ProtocolError: {
        const std::wstring failure = LinkFailureText(outcome, module, port);
        if (args.command != L"restore") return Capitalized(failure) + L".";
        if (outcome.operation != Operation::WriteAllActions) return L"Restore stopped: " + failure + L".";
        return L"Restore stopped at " + std::wstring(kTables[outcome.table % kTableCount].title) + L" row " +
               std::to_wstring(outcome.row) + L": " + failure + L".";
    }
    case OutcomeKind::FileError: return FileFaultText(outcome, File(args));
    case OutcomeKind::InvalidInput:
        if (outcome.input == BadInput::TableTooLong) return File(args) + L": " + StatusText(outcome);
        break;
    }
    return StatusText(outcome);
}

std::wstring FileFaultText(const Outcome& outcome, const std::wstring& file) { return file + L": " + StatusText(outcome); }

std::wstring NotStoredText(const CliArguments& args) {
    return L"The module returns to its stored configuration at its next power-up unless 'korvelctl --port " +
           args.port.value_or(L"") + L" store' is run.";
}

std::wstring NoPortsText() { return L"No serial ports found."; }
