#pragma once
// What a module operation did, as one record: its kind and what goes with it
// (the module's status byte, the link's error text, the table and row where a
// table operation stopped). Operations return an Outcome instead of texts or
// exceptions. StatusText makes the words the window shows and korvelctl
// prints; korvelctl's exit status comes from the kind alone.

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/module_config.h"
#include "device/serial_link.h"

enum class OutcomeKind {
    Done,           // the operation did what it was asked
    Refused,        // the module answered a non-zero status byte
    InvalidInput,   // an input was rejected; nothing was sent
    NotConnected,   // no module is connected, or its port did not open
    SerialError,    // a read or write call of the link failed
    ProtocolError,  // a reply stopped short
    FileError,      // a configuration file could not be read or written
};

// Every operation has words of its own.
enum class Operation {
    Connect,
    LoadTable,
    ReloadAllTables,
    SetAction,
    WriteAllActions,
    SyncMaxBrightness,
    SyncFullRepeat,
    SyncIrRepeatPeriod,
    SyncDefaultResistance,
    SaveModuleConfig,
    LoadModuleConfig,
    ResetModuleConfig,
    SendIrCode,
    ApplyIrRepeatPeriod,
    ToggleIrFullRepeat,
    ApplyDefaultResistance,
    ApplyMaxBrightness,
    WriteHeldSetting,  // a held setting sent as it is; `setting` names it
    PollLiveValues,
    ReadWholeConfig,   // the four settings and four tables as the module holds them
    SaveConfigFile,
    LoadConfigFile,
};

// Which input was rejected (InvalidInput).
enum class BadInput {
    Value,         // the operation's one input
    IrCode,        // the IR cell of a row
    RaName,        // the RA cell
    RbName,        // the RB cell
    Button,        // the Button cell, or a code too wide for its table
    Table,         // a table number outside 0 to 3
    Row,           // a row the one-byte index cannot address
    TableTooLong,  // `table` has more rows than the wire can address
};

// What was wrong with a file (FileError).
enum class FileFault {
    CannotCreate,  // the file could not be created or truncated
    WriteFailed,   // a write or the closing flush failed
    CannotOpen,    // the file could not be opened for reading
    NoHeader,      // shorter than magic and version
    BadMagic,
    BadVersion,
    ShortBody,     // a count, record block or setting is cut short
    BadJson,       // a JSON file that is not a configuration; `error` says where and why
};

struct Outcome {
    Operation operation{};
    OutcomeKind kind = OutcomeKind::Done;
    std::uint8_t status = 0;          // Refused: the module's status byte
    std::string error{};              // SerialError, ProtocolError: the link's text; BadJson: the reason (UTF-8)
    BadInput input = BadInput::Value;
    FileFault file = FileFault::CannotOpen;
    Setting setting = Setting::IrRepeatPeriod;
    std::uint32_t table = 0;          // the table a table operation is on
    std::size_t row = 0;              // the row a table operation is on
    OpenFailure openFailure{};        // Connect, NotConnected: why the port did not open
};

inline bool Succeeded(const Outcome& outcome) { return outcome.kind == OutcomeKind::Done; }
inline bool LinkFailed(const Outcome& outcome) {
    return outcome.kind == OutcomeKind::SerialError || outcome.kind == OutcomeKind::ProtocolError;
}

// Whether the operation reports a failed exchange with words of its own
// ("... failed (exception)."); the others leave it to the window's safety net.
bool GuardsItsExchanges(Operation operation);

// The status-line text of an outcome; empty when the operation shows nothing
// for it (a sync while disconnected, a refresh of all tables that succeeded).
std::wstring StatusText(const Outcome& outcome);

// Runs the exchanges of an operation. They may mark a refusal and move the
// table and row on as they go; a SerialError or ProtocolError ends them and
// becomes the outcome's kind, with the table and row where it happened.
template <class Exchanges>
Outcome Attempt(Outcome outcome, Exchanges&& exchanges) {
    try {
        exchanges(outcome);
    } catch (const ProtocolError& error) {
        outcome.kind = OutcomeKind::ProtocolError;
        outcome.error = error.what();
    } catch (const SerialError& error) {
        outcome.kind = OutcomeKind::SerialError;
        outcome.error = error.what();
    }
    return outcome;
}

// The outcome of a status byte: Done for 0, else Refused with the byte.
inline void TakeStatus(Outcome& outcome, std::uint8_t status) {
    outcome.status = status;
    outcome.kind = status == 0 ? OutcomeKind::Done : OutcomeKind::Refused;
}
