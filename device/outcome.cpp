// The words of every operation, and the one place where an outcome becomes
// the text the user reads. A text that reports a number ends in a blank and is
// followed directly by the number in decimal.
#include "device/outcome.h"

#include "device/text.h"

namespace {

struct Words {
    const wchar_t* done;          // nullptr: nothing is shown
    const wchar_t* refused;       // followed by the status byte
    const wchar_t* invalid;       // the rejected input
    const wchar_t* failed;        // a failed exchange; nullptr: the safety net's words
    const wchar_t* notConnected;  // nullptr: nothing is shown
};

constexpr const wchar_t* kNotConnected = L"Not connected.";

Words WordsOf(Operation operation) {
    switch (operation) {
    case Operation::Connect: return {nullptr, nullptr, nullptr, nullptr, L"Connection failed."};
    case Operation::LoadTable: return {nullptr, nullptr, nullptr, L"Get actions failed (exception).", nullptr};
    case Operation::ReloadAllTables:
        return {nullptr, nullptr, nullptr, L"Loading actions from device failed (exception).", nullptr};
    case Operation::SetAction:
        return {L"Action updated", L"Updating action failed, response: ", nullptr, L"setAction failed (exception).",
                nullptr};
    case Operation::WriteAllActions:
        return {L"All actions written to device.", nullptr, nullptr, L"Writing actions to device failed (exception).",
                nullptr};
    case Operation::SyncMaxBrightness:
        return {L"Max brightness loaded.", nullptr, nullptr, L"getMaxBrightness failed (exception).", nullptr};
    case Operation::SyncFullRepeat:
        return {L"Full repeat loaded.", nullptr, nullptr, L"getIRFullRepeat failed (exception).", nullptr};
    case Operation::SyncIrRepeatPeriod:
        return {L"IR repeat period loaded.", nullptr, nullptr, L"SyncIrRepeatPeriodField failed (exception).", nullptr};
    case Operation::SyncDefaultResistance:
        return {L"Default resistance loaded.", nullptr, nullptr, L"SyncDefaultResistance failed (exception).", nullptr};
    case Operation::SaveModuleConfig:
        return {L"Config saved to module.", L"Save failed, response: ", nullptr, nullptr, kNotConnected};
    case Operation::LoadModuleConfig:
        return {L"Config loaded from module.", L"Load failed, response: ", nullptr, nullptr, kNotConnected};
    case Operation::ResetModuleConfig:
        return {L"Default config restored.", L"Reset failed, response: ", nullptr, nullptr, kNotConnected};
    case Operation::SendIrCode:
        return {L"IR code sent", L"IR failed to send, response: ", L"Invalid IR to send.", nullptr, kNotConnected};
    case Operation::ApplyIrRepeatPeriod:
        return {L"IR period set.", L"IR period set failed, response: ", L"Invalid IR period.", nullptr, kNotConnected};
    case Operation::ToggleIrFullRepeat:
        return {L"IR full repeat toggled.", L"Toggle full repeat failed, response: ", nullptr, nullptr, nullptr};
    case Operation::ApplyDefaultResistance:
        return {L"Default resistance updated.", L"Updating default resistance failed, response: ", L"Selection error",
                nullptr, nullptr};
    case Operation::ApplyMaxBrightness:
        return {L"Max brightness set.", L"Max brightness set failed, response: ", L"Invalid max brightness (0-100).",
                L"Max brightness set failed (exception).", kNotConnected};
    case Operation::WriteHeldSetting: return {};
    case Operation::PollLiveValues: return {};
    case Operation::ReadWholeConfig: return {};
    case Operation::SaveConfigFile:
        return {L"Config saved successfully", nullptr, nullptr, nullptr, L"No device connected, cannot save config."};
    case Operation::LoadConfigFile:
        return {nullptr, nullptr, nullptr, nullptr, L"No device connected, cannot load config."};
    }
    return {};
}

// The refusal of a held setting is worded as the handler that sets the same value.
Operation HandlerOf(Setting setting) {
    switch (setting) {
    case Setting::IrRepeatPeriod: return Operation::ApplyIrRepeatPeriod;
    case Setting::IrFullRepeat: return Operation::ToggleIrFullRepeat;
    case Setting::MaxBrightness: return Operation::ApplyMaxBrightness;
    case Setting::DefaultResistance: break;
    }
    return Operation::ApplyDefaultResistance;
}

const wchar_t* LoadedText(std::uint32_t table) {
    constexpr const wchar_t* kLoaded[kTableCount] = {L"Media actions loaded.", L"Gear actions loaded.",
                                                     L"Horn actions loaded.", L"ACC actions loaded."};
    return table < kTableCount ? kLoaded[table] : nullptr;
}

std::wstring RowWriteFailure(std::uint32_t table, std::size_t row) {
    constexpr const wchar_t* kNames[kTableCount] = {L"media", L"gear", L"horn", L"ACC"};
    return L"Failed writing " + std::wstring(kNames[table % kTableCount]) + L" action " + std::to_wstring(row);
}

const wchar_t* InvalidRowText(BadInput input) {
    switch (input) {
    case BadInput::IrCode: return L"Invalid IR.";
    case BadInput::RaName: return L"Invalid RA.";
    case BadInput::RbName: return L"Invalid RB.";
    case BadInput::Button: return L"Invalid Button.";
    default: return nullptr;  // a table or row that cannot be sent is refused without a word
    }
}

std::wstring FileText(const Outcome& outcome) {
    switch (outcome.file) {
    case FileFault::CannotCreate: return L"Failed to open file for saving";
    case FileFault::WriteFailed: return L"Failed while writing config";
    case FileFault::CannotOpen: return L"Failed to open file for loading";
    case FileFault::NoHeader: return L"Failed to read config header";
    case FileFault::BadMagic: return L"Invalid config file";
    case FileFault::BadVersion: return L"Unsupported config version";
    case FileFault::BadJson: return L"Invalid config file: " + WidenText(outcome.error);
    case FileFault::ShortBody: break;
    }
    return L"Failed while reading config";
}

std::wstring Text(const wchar_t* words) { return words ? words : L""; }

// The safety net's words for a failure the operation leaves to it.
std::wstring NetText(const Outcome& outcome) {
    const std::wstring error = outcome.error.empty() ? L"Unknown exception" : WidenBytes(outcome.error);
    return (outcome.kind == OutcomeKind::SerialError ? L"Serial error occured: " : L"Protocol error occured: ") + error;
}

}  // namespace

bool GuardsItsExchanges(Operation operation) { return WordsOf(operation).failed != nullptr; }

std::wstring StatusText(const Outcome& outcome) {
    // A held setting sent as it is shows nothing but a refusal, worded as the
    // handler of that setting, and never guards its exchange.
    const bool heldSetting = outcome.operation == Operation::WriteHeldSetting;
    const Operation op = heldSetting ? HandlerOf(outcome.setting) : outcome.operation;
    const Words words = WordsOf(op);
    switch (outcome.kind) {
    case OutcomeKind::Done:
        if (op == Operation::LoadTable) return Text(LoadedText(outcome.table));
        return heldSetting ? L"" : Text(words.done);
    case OutcomeKind::Refused:
        if (op == Operation::WriteAllActions) return RowWriteFailure(outcome.table, outcome.row);
        return words.refused ? words.refused + std::to_wstring(outcome.status) : L"";
    case OutcomeKind::InvalidInput:
        if (outcome.input == BadInput::TableTooLong)
            return std::wstring(kTables[outcome.table % kTableCount].title) + L" table has more than " +
                   std::to_wstring(kMaxWireRows) + L" rows; nothing written.";
        if (op == Operation::SetAction) return Text(InvalidRowText(outcome.input));
        return Text(words.invalid);
    case OutcomeKind::NotConnected: return Text(words.notConnected);
    case OutcomeKind::SerialError:
    case OutcomeKind::ProtocolError:
        if (!heldSetting && words.failed) return words.failed;
        return NetText(outcome);
    case OutcomeKind::FileError: return FileText(outcome);
    }
    return {};
}
