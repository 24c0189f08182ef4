#pragma once
// The exchanges of the module's 22 commands, made from their table
// (commands.h). Every exchange is one writeExact of the whole request followed
// by readExact calls of fixed sizes; a non-zero status byte is returned, never
// thrown. No exchange is retried or resynchronised.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "device/commands.h"
#include "device/records.h"
#include "device/serial_link.h"

struct PressedButtons {
    std::uint8_t media = 0;
    std::uint8_t gears = 0;
    std::uint8_t horn = 0;
    std::uint16_t acc = 0;
    bool operator==(const PressedButtons&) const = default;
};

// What one poll reports: the buttons pressed now and the dimmer's current brightness.
struct LiveValues {
    PressedButtons pressed;
    std::uint8_t brightness = 0;
    bool operator==(const LiveValues&) const = default;
};

// The shared exchanges of the commands without arguments: a one-byte answer
// (a value, a status, or the count of a table's records, which then follow),
// and a two-byte one.
std::uint8_t queryByte(SerialLink& link, std::uint8_t command);
std::uint16_t queryWord(SerialLink& link, std::uint8_t command);
// A command with its value, as wide as the command takes it; status back.
std::uint8_t send(SerialLink& link, std::uint8_t command, std::uint32_t value);

// The records of the table that holds records of type R: the count byte, then
// each record with a read of its own, so the time-outs apply to each alone.
template <class R>
std::vector<R> readTable(SerialLink& link) {
    std::vector<R> records(queryByte(link, TableRead(R::kTable)));
    for (R& record : records) link.readExact(record.bytes.data(), record.bytes.size());
    return records;
}

// The same into `rows`, whose record type names the table.
template <class R>
void readTable(SerialLink& link, std::vector<R>& rows) {
    rows = readTable<R>(link);
}

// One record of type R into slot `slot` of its table; status back.
template <class R>
std::uint8_t writeRecord(SerialLink& link, std::uint8_t slot, const R& record) {
    std::array<std::uint8_t, 1 + kRecordWrite + R::kSize> request{RecordWrite(R::kTable), slot};
    std::copy(record.bytes.begin(), record.bytes.end(), request.begin() + 1 + kRecordWrite);
    link.writeExact(request.data(), request.size());
    std::uint8_t status = 0;
    link.readExact(&status, 1);
    return status;
}

// A setting's value as the module answers it, and a new value for it (as
// wide as the setting is on the wire); status back.
inline std::uint32_t getSetting(SerialLink& link, Setting setting) {
    const std::uint8_t command = SettingQuery(setting);
    return kCommands[command].reply == Reply::Word ? queryWord(link, command) : queryByte(link, command);
}
inline std::uint8_t setSetting(SerialLink& link, Setting setting, std::uint32_t value) {
    return send(link, SettingCommand(setting), value);
}

PressedButtons getPressedButtons(SerialLink& link);

// The exchanges by the commands' own names.
inline std::vector<MediaAction> getMediaActions(SerialLink& link) { return readTable<MediaAction>(link); }
inline std::vector<GearAction> getGearActions(SerialLink& link) { return readTable<GearAction>(link); }
inline std::vector<HornAction> getHornActions(SerialLink& link) { return readTable<HornAction>(link); }
inline std::vector<AccAction> getAccActions(SerialLink& link) { return readTable<AccAction>(link); }
inline std::uint8_t setMediaAction(SerialLink& link, std::uint8_t slot, const MediaAction& record) {
    return writeRecord(link, slot, record);
}
inline std::uint8_t setGearAction(SerialLink& link, std::uint8_t slot, const GearAction& record) {
    return writeRecord(link, slot, record);
}
inline std::uint8_t setHornAction(SerialLink& link, std::uint8_t slot, const HornAction& record) {
    return writeRecord(link, slot, record);
}
inline std::uint8_t setAccAction(SerialLink& link, std::uint8_t slot, const AccAction& record) {
    return writeRecord(link, slot, record);
}
inline std::uint8_t getCurrentBrightness(SerialLink& link) { return queryByte(link, cmd::getCurrentBrightness); }
inline std::uint8_t saveConfig(SerialLink& link) { return queryByte(link, cmd::saveConfig); }
inline std::uint8_t loadConfig(SerialLink& link) { return queryByte(link, cmd::loadConfig); }
inline std::uint8_t resetConfig(SerialLink& link) { return queryByte(link, cmd::resetConfig); }
inline std::uint8_t getMaxBrightness(SerialLink& link) { return queryByte(link, cmd::getMaxBrightness); }
inline std::uint8_t getIRFullRepeat(SerialLink& link) { return queryByte(link, cmd::getIRFullRepeat); }
inline std::uint16_t getIRRepeatPeriod(SerialLink& link) { return queryWord(link, cmd::getIRRepeatPeriod); }
inline std::uint16_t getDefaultResistance(SerialLink& link) { return queryWord(link, cmd::getDefaultResistance); }
inline std::uint8_t sendIR(SerialLink& link, std::uint32_t code) { return send(link, cmd::sendIR, code); }
inline std::uint8_t setMaxBrightness(SerialLink& link, std::uint8_t value) {
    return send(link, cmd::setMaxBrightness, value);
}
inline std::uint8_t setIRFullRepeat(SerialLink& link, std::uint8_t flag) { return send(link, cmd::setIRFullRepeat, flag); }
inline std::uint8_t setIRRepeatPeriod(SerialLink& link, std::uint16_t periodMs) {
    return send(link, cmd::setIRRepeatPeriod, periodMs);
}
inline std::uint8_t setDefaultResistance(SerialLink& link, std::uint16_t mask) {
    return send(link, cmd::setDefaultResistance, mask);
}
