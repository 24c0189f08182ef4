#pragma once
// The module's 22 commands. Every exchange is one writeExact of the whole
// request followed by readExact calls of fixed sizes; a non-zero status byte
// is returned, never thrown. No exchange is retried or resynchronised.

#include <cstdint>
#include <vector>

#include "device/records.h"
#include "device/serial_link.h"

namespace cmd {
constexpr std::uint8_t getMediaActions = 0;
constexpr std::uint8_t setMediaAction = 1;
constexpr std::uint8_t getPressedButtons = 2;
constexpr std::uint8_t getCurrentBrightness = 3;
constexpr std::uint8_t saveConfig = 4;
constexpr std::uint8_t loadConfig = 5;
constexpr std::uint8_t sendIR = 6;
constexpr std::uint8_t setMaxBrightness = 7;
constexpr std::uint8_t getMaxBrightness = 8;
constexpr std::uint8_t getAccActions = 9;
constexpr std::uint8_t getHornActions = 10;
constexpr std::uint8_t getGearActions = 11;
constexpr std::uint8_t setAccAction = 12;
constexpr std::uint8_t setHornAction = 13;
constexpr std::uint8_t setGearAction = 14;
constexpr std::uint8_t setIRFullRepeat = 15;
constexpr std::uint8_t setIRRepeatPeriod = 16;
constexpr std::uint8_t getIRFullRepeat = 17;
constexpr std::uint8_t getIRRepeatPeriod = 18;
constexpr std::uint8_t resetConfig = 19;
constexpr std::uint8_t getDefaultResistance = 20;
constexpr std::uint8_t setDefaultResistance = 21;
}  // namespace cmd

// Number of argument bytes that follow a command byte in a request; -1 for a
// byte that is no command.
int RequestArgumentBytes(std::uint8_t command);

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

// Table reads: the count byte, then each record with a read of its own.
std::vector<MediaAction> getMediaActions(SerialLink& link);
std::vector<GearAction> getGearActions(SerialLink& link);
std::vector<HornAction> getHornActions(SerialLink& link);
std::vector<AccAction> getAccActions(SerialLink& link);

// Record writes: command, slot, record bytes; status back.
std::uint8_t setMediaAction(SerialLink& link, std::uint8_t slot, const MediaAction& record);
std::uint8_t setGearAction(SerialLink& link, std::uint8_t slot, const GearAction& record);
std::uint8_t setHornAction(SerialLink& link, std::uint8_t slot, const HornAction& record);
std::uint8_t setAccAction(SerialLink& link, std::uint8_t slot, const AccAction& record);

// Value writes: command, value little-endian; status back.
std::uint8_t setMaxBrightness(SerialLink& link, std::uint8_t value);
std::uint8_t setIRFullRepeat(SerialLink& link, std::uint8_t flag);
std::uint8_t setIRRepeatPeriod(SerialLink& link, std::uint16_t periodMs);
std::uint8_t setDefaultResistance(SerialLink& link, std::uint16_t mask);
std::uint8_t sendIR(SerialLink& link, std::uint32_t code);

// The one-byte and two-byte queries without arguments.
std::uint8_t queryByte(SerialLink& link, std::uint8_t command);
std::uint16_t queryWord(SerialLink& link, std::uint8_t command);

inline std::uint8_t getCurrentBrightness(SerialLink& link) { return queryByte(link, cmd::getCurrentBrightness); }
inline std::uint8_t saveConfig(SerialLink& link) { return queryByte(link, cmd::saveConfig); }
inline std::uint8_t loadConfig(SerialLink& link) { return queryByte(link, cmd::loadConfig); }
inline std::uint8_t resetConfig(SerialLink& link) { return queryByte(link, cmd::resetConfig); }
inline std::uint8_t getMaxBrightness(SerialLink& link) { return queryByte(link, cmd::getMaxBrightness); }
inline std::uint8_t getIRFullRepeat(SerialLink& link) { return queryByte(link, cmd::getIRFullRepeat); }
inline std::uint16_t getIRRepeatPeriod(SerialLink& link) { return queryWord(link, cmd::getIRRepeatPeriod); }
inline std::uint16_t getDefaultResistance(SerialLink& link) { return queryWord(link, cmd::getDefaultResistance); }

PressedButtons getPressedButtons(SerialLink& link);

// The read and write command of the table that holds records of type R.
template <class R>
struct TableCommands;
template <>
struct TableCommands<MediaAction> {
    static constexpr auto read = getMediaActions;
    static constexpr auto write = setMediaAction;
};
template <>
struct TableCommands<GearAction> {
    static constexpr auto read = getGearActions;
    static constexpr auto write = setGearAction;
};
template <>
struct TableCommands<HornAction> {
    static constexpr auto read = getHornActions;
    static constexpr auto write = setHornAction;
};
template <>
struct TableCommands<AccAction> {
    static constexpr auto read = getAccActions;
    static constexpr auto write = setAccAction;
};
