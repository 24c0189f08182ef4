#pragma once
// The module's 22 commands in one table: the byte that names each, its name
// in the protocol, how many bytes follow it in a request, and what it
// answers. The exchanges of protocol.h, the virtual module's dispatcher and
// korvel-sim's command names are all made from it.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

#include "device/module_config.h"
#include "device/records.h"

// What a command answers.
enum class Reply {
    Status,   // one status byte: 0 done, anything else refused
    Byte,     // a one-byte value
    Word,     // a two-byte value, little-endian
    Buttons,  // the five bytes of the pressed buttons
    Records,  // a count byte, then that many records of the table
};

struct CommandInfo {
    const char* name;
    std::uint8_t arguments;            // the bytes after the command byte in a request
    Reply reply;
    std::uint32_t table = kTableCount;  // the table it reads, or writes a record of; kTableCount for none
    std::optional<Setting> setting{};   // the setting it gets or sets
};

constexpr std::uint8_t kRecordWrite = 1;  // the slot byte before the record

// Indexed by the command byte.
inline constexpr CommandInfo kCommands[] = {
    {"getMediaActions", 0, Reply::Records, Media},
    {"setMediaAction", kRecordWrite + MediaAction::kSize, Reply::Status, Media},
    {"getPressedButtons", 0, Reply::Buttons},
    {"getCurrentBrightness", 0, Reply::Byte},
    {"saveConfig", 0, Reply::Status},
    {"loadConfig", 0, Reply::Status},
    {"sendIR", 4, Reply::Status},
    {"setMaxBrightness", 1, Reply::Status, kTableCount, Setting::MaxBrightness},
    {"getMaxBrightness", 0, Reply::Byte, kTableCount, Setting::MaxBrightness},
    {"getAccActions", 0, Reply::Records, Acc},
    {"getHornActions", 0, Reply::Records, Horn},
    {"getGearActions", 0, Reply::Records, Gears},
    {"setAccAction", kRecordWrite + AccAction::kSize, Reply::Status, Acc},
    {"setHornAction", kRecordWrite + HornAction::kSize, Reply::Status, Horn},
    {"setGearAction", kRecordWrite + GearAction::kSize, Reply::Status, Gears},
    {"setIRFullRepeat", 1, Reply::Status, kTableCount, Setting::IrFullRepeat},
    {"setIRRepeatPeriod", 2, Reply::Status, kTableCount, Setting::IrRepeatPeriod},
    {"getIRFullRepeat", 0, Reply::Byte, kTableCount, Setting::IrFullRepeat},
    {"getIRRepeatPeriod", 0, Reply::Word, kTableCount, Setting::IrRepeatPeriod},
    {"resetConfig", 0, Reply::Status},
    {"getDefaultResistance", 0, Reply::Word, kTableCount, Setting::DefaultResistance},
    {"setDefaultResistance", 2, Reply::Status, kTableCount, Setting::DefaultResistance},
};
constexpr std::size_t kCommandCount = std::size(kCommands);

// The command bytes by their protocol names, in the order of the table.
namespace cmd {
enum : std::uint8_t {
    getMediaActions, setMediaAction, getPressedButtons, getCurrentBrightness, saveConfig, loadConfig, sendIR,
    setMaxBrightness, getMaxBrightness, getAccActions, getHornActions, getGearActions, setAccAction, setHornAction,
    setGearAction, setIRFullRepeat, setIRRepeatPeriod, getIRFullRepeat, getIRRepeatPeriod, resetConfig,
    getDefaultResistance, setDefaultResistance,
};
}  // namespace cmd
static_assert(cmd::setDefaultResistance + 1 == kCommandCount);

// The first command of the table that `matches`.
template <class Matches>
constexpr std::uint8_t FindCommand(Matches matches) {
    std::uint8_t command = 0;
    while (command < kCommandCount && !matches(kCommands[command])) ++command;
    return command;
}

// The read of table `table`, and the write of one of its records.
constexpr std::uint8_t TableRead(std::uint32_t table) {
    return FindCommand([&](const CommandInfo& c) { return c.table == table && c.reply == Reply::Records; });
}
constexpr std::uint8_t RecordWrite(std::uint32_t table) {
    return FindCommand([&](const CommandInfo& c) { return c.table == table && c.reply == Reply::Status; });
}
// The query of a setting, and the command that sets it.
constexpr std::uint8_t SettingQuery(Setting setting) {
    return FindCommand([&](const CommandInfo& c) { return c.setting == setting && c.reply != Reply::Status; });
}
constexpr std::uint8_t SettingCommand(Setting setting) {
    return FindCommand([&](const CommandInfo& c) { return c.setting == setting && c.reply == Reply::Status; });
}

// The bytes after the command byte in a request; -1 for a byte that is no command.
constexpr int RequestArgumentBytes(std::uint8_t command) {
    return command < kCommandCount ? kCommands[command].arguments : -1;
}
