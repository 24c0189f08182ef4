#pragma once
// What a module operation did, as one record of plain data: which operation,
// its kind and what goes with it (the module's status byte, the link's error
// text, the table and row where a table operation stopped, the input or the
// file that was wrong and the facts of its fault). Operations return an Outcome instead of texts or
// exceptions; each front end words it, and korvelctl's exit status comes from
// the kind alone.

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/module_config.h"
#include "device/serial_link.h"

// Which operation an outcome comes from. Each floor declares one id for each
// of its operations, inline constexpr so that it has one address in the whole
// program; an outcome points at it, and whoever words outcomes compares the
// pointer with the ids it knows.
struct OperationId {};

enum class OutcomeKind {
    Done,           // the operation did what it was asked
    Refused,        // the module answered a non-zero status byte
    InvalidInput,   // an input was rejected; nothing was sent
    NotConnected,   // no module is connected, or its port did not open
    SerialError,    // a read or write call of the link failed
    ProtocolError,  // a reply stopped short
    FileError,      // a configuration file could not be read or written
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

// Why the system refused to open, create or write a file, from its error number.
enum class SystemFault {
    Unknown,
    NotFound,          // no such file
    NoFolder,          // a folder on the way is missing, or is no folder
    PermissionDenied,
    IsFolder,          // the name is a folder's
    NoSpace,           // the device, or the user's quota, is full
    ReadOnly,          // a read-only file system
    TooLarge,          // past the largest file the process may write
};

// What a file holds where a configuration should begin (NoHeader, BadMagic).
enum class FileContent {
    Unknown,  // its first bytes are those of a configuration, or were not looked at
    Empty,
    Text,
    Json,     // text that starts as JSON does
    Cfg,      // a .cfg configuration (where JSON was expected)
    Binary,   // bytes that are no text
};

// The part of a .cfg file in which it ends too early (NoHeader, ShortBody);
// the table and row are the facts' own.
enum class FilePart { Header, RowCount, Row, Settings };

// The facts about a file's fault beyond its kind, for a front end that words
// more than the window does.
struct FileFacts {
    SystemFault system = SystemFault::Unknown;  // CannotCreate, WriteFailed, CannotOpen
    FileContent content = FileContent::Unknown;
    FilePart part = FilePart::Header;
    std::uint32_t table = 0;      // RowCount, Row: the table in which it ends
    std::size_t row = 0;          // Row: the row in which it ends
    std::uint64_t size = 0;       // NoHeader, ShortBody: the bytes the file holds
    std::uint32_t version = 0;    // BadVersion: the version the file gives
};

struct Outcome {
    const OperationId* operation = nullptr;
    OutcomeKind kind = OutcomeKind::Done;
    std::uint8_t status = 0;          // Refused: the module's status byte
    std::string error{};              // SerialError, ProtocolError: the link's text; BadJson: the reason (UTF-8)
    BadInput input = BadInput::Value;
    FileFault file = FileFault::CannotOpen;
    FileFacts fileFacts{};            // FileError: the system's reason, the content, how far the file got
    Setting setting = Setting::IrRepeatPeriod;  // the setting a held setting's write sends
    std::uint32_t table = 0;          // the table a table operation is on
    std::size_t row = 0;              // the row a table operation is on
    OpenFailure openFailure{};        // Connect, NotConnected: why the port did not open
};

inline bool Succeeded(const Outcome& outcome) { return outcome.kind == OutcomeKind::Done; }
inline bool LinkFailed(const Outcome& outcome) {
    return outcome.kind == OutcomeKind::SerialError || outcome.kind == OutcomeKind::ProtocolError;
}

// Runs the exchanges of an operation. They may mark a refusal and move the
// table and row on as they go; a SerialError or ProtocolError ends them and
// becomes the outcome's kind, with the table and row where it happened.
// Anything else thrown goes on to the caller.
template <class Steps>
Outcome Attempt(Outcome outcome, Steps&& steps) {
    try {
        steps(outcome);
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
