#include "app/status_words.h"

#include "actions/action_reads.h"
#include "actions/action_writes.h"
#include "config/config_file.h"
#include "device/text.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"

namespace {

struct Words {
    const OperationId* operation;
    const wchar_t* done;          // nullptr: nothing is shown
    const wchar_t* refused;       // followed by the status byte
    const wchar_t* invalid;       // the rejected input
    const wchar_t* failed;        // any failure while it runs; nullptr: the safety net's to show
    const wchar_t* notConnected;  // nullptr: nothing is shown
};

constexpr const wchar_t* kNotConnected = L"Not connected.";

// An operation missing here shows nothing but what is common to all:
// a file's fault, or a table too long to send.
constexpr Words kWords[] = {
    {&kConnect, nullptr, nullptr, nullptr, nullptr, L"Connection failed."},
    {&kLoadTable, nullptr, nullptr, nullptr, L"Get actions failed (exception).", nullptr},
    {&kReloadAllTables, nullptr, nullptr, nullptr, L"Loading actions from device failed (exception).", nullptr},
    // An editor can still commit after the line went: the send fails as on a dead line.
    {&kWriteActionRow, L"Action updated", L"Updating action failed, response: ", nullptr,
     L"setAction failed (exception).", L"setAction failed (exception)."},
    {&kWriteAllActions, L"All actions written to device.", nullptr, nullptr,
     L"Writing actions to device failed (exception).", nullptr},
    {&kReadMaxBrightness, L"Max brightness loaded.", nullptr, nullptr, L"getMaxBrightness failed (exception).",
     nullptr},
    {&kReadFullRepeat, L"Full repeat loaded.", nullptr, nullptr, L"getIRFullRepeat failed (exception).", nullptr},
    {&kReadIrRepeatPeriod, L"IR repeat period loaded.", nullptr, nullptr,
     L"SyncIrRepeatPeriodField failed (exception).", nullptr},
    {&kReadDefaultResistance, L"Default resistance loaded.", nullptr, nullptr,
     L"SyncDefaultResistance failed (exception).", nullptr},
    {&kSaveModuleConfig, L"Config saved to module.", L"Save failed, response: ", nullptr, nullptr, kNotConnected},
    {&kLoadModuleConfig, L"Config loaded from module.", L"Load failed, response: ", nullptr, nullptr, kNotConnected},
    {&kResetModuleConfig, L"Default config restored.", L"Reset failed, response: ", nullptr, nullptr, kNotConnected},
    {&kSendIrCode, L"IR code sent", L"IR failed to send, response: ", L"Invalid IR to send.", nullptr, kNotConnected},
    {&kApplyIrRepeatPeriod, L"IR period set.", L"IR period set failed, response: ", L"Invalid IR period.", nullptr,
     kNotConnected},
    {&kSetIrFullRepeat, L"IR full repeat toggled.", L"Toggle full repeat failed, response: ", nullptr, nullptr,
     nullptr},
    {&kApplyDefaultResistance, L"Default resistance updated.", L"Updating default resistance failed, response: ",
     L"Selection error", nullptr, nullptr},
    {&kApplyMaxBrightness, L"Max brightness set.", L"Max brightness set failed, response: ",
     L"Invalid max brightness (0-100).", L"Max brightness set failed (exception).", kNotConnected},
    {&kSaveConfigFile, L"Config saved successfully", nullptr, nullptr, nullptr,
     L"No device connected, cannot save config."},
    {&kLoadConfigFile, nullptr, nullptr, nullptr, nullptr, L"No device connected, cannot load config."},
};

Words WordsOf(const OperationId* operation) {
    for (const Words& words : kWords)
        if (words.operation == operation) return words;
    return {};
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

const wchar_t* InvalidCellText(BadInput input) {
    switch (input) {
    case BadInput::IrCode: return L"Invalid IR.";
    case BadInput::RaName: return L"Invalid RA.";
    case BadInput::RbName: return L"Invalid RB.";
    case BadInput::Button: return L"Invalid Button.";
    default: return nullptr;  // a table or row that cannot be sent is refused without a word
    }
}

std::wstring Text(const wchar_t* words) { return words ? words : L""; }

// What was wrong with a configuration file; a JSON file that is no
// configuration with the reason after a colon.
std::wstring FaultText(FileFault fault, const std::string& reason) {
    switch (fault) {
    case FileFault::CannotCreate: return L"Failed to open file for saving";
    case FileFault::WriteFailed: return L"Failed while writing config";
    case FileFault::CannotOpen: return L"Failed to open file for loading";
    case FileFault::NoHeader: return L"Failed to read config header";
    case FileFault::BadMagic: return L"Invalid config file";
    case FileFault::BadVersion: return L"Unsupported config version";
    case FileFault::BadJson: return L"Invalid config file: " + WidenText(reason);
    case FileFault::ShortBody: break;
    }
    return L"Failed while reading config";
}

std::wstring TooManyRowsText(std::uint32_t table) {
    return std::wstring(kTables[table % kTableCount].title) + L" table has more than " + std::to_wstring(kMaxWireRows) +
           L" rows; nothing written.";
}

}  // namespace

const wchar_t* OwnFailureText(const OperationId& operation) { return WordsOf(&operation).failed; }

std::wstring StatusText(const Outcome& outcome) {
    const OperationId* op = outcome.operation;
    const Words words = WordsOf(op);
    switch (outcome.kind) {
    case OutcomeKind::Done: return Text(op == &kLoadTable ? LoadedText(outcome.table) : words.done);
    case OutcomeKind::Refused:
        if (op == &kWriteAllActions) return RowWriteFailure(outcome.table, outcome.row);
        return words.refused ? words.refused + std::to_wstring(outcome.status) : L"";
    case OutcomeKind::InvalidInput:
        if (outcome.input == BadInput::TableTooLong) return TooManyRowsText(outcome.table);
        return Text(op == &kWriteActionRow ? InvalidCellText(outcome.input) : words.invalid);
    case OutcomeKind::NotConnected: return Text(words.notConnected);
    case OutcomeKind::SerialError:
    case OutcomeKind::ProtocolError: return Text(words.failed);
    case OutcomeKind::FileError: return FaultText(outcome.file, outcome.error);
    }
    return {};
}
