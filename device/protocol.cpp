#include "device/protocol.h"

#include <array>

#include "device/little_endian.h"

namespace {

template <class R>
std::vector<R> ReadTable(SerialLink& link, std::uint8_t command) {
    link.writeExact(&command, 1);
    std::uint8_t count = 0;
    link.readExact(&count, 1);
    std::vector<R> records;
    records.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        R record;
        // One read per record, so the time-outs apply to each record alone.
        link.readExact(record.bytes.data(), record.bytes.size());
        records.push_back(record);
    }
    return records;
}

template <class R>
std::uint8_t WriteRecord(SerialLink& link, std::uint8_t command, std::uint8_t slot, const R& record) {
    std::array<std::uint8_t, 2 + R::kSize> request{};
    request[0] = command;
    request[1] = slot;
    for (std::size_t i = 0; i < R::kSize; ++i) request[2 + i] = record.bytes[i];
    link.writeExact(request.data(), request.size());
    std::uint8_t status = 0;
    link.readExact(&status, 1);
    return status;
}

std::uint8_t WriteValue(SerialLink& link, std::uint8_t command, std::uint32_t value, std::size_t width) {
    std::array<std::uint8_t, 5> request{command};
    StoreLittleEndian(&request[1], value, width);
    link.writeExact(request.data(), 1 + width);
    std::uint8_t status = 0;
    link.readExact(&status, 1);
    return status;
}

}  // namespace

int RequestArgumentBytes(std::uint8_t command) {
    switch (command) {
    case cmd::setMediaAction:
    case cmd::setHornAction:
    case cmd::setGearAction: return 10;
    case cmd::setAccAction: return 11;
    case cmd::sendIR: return 4;
    case cmd::setMaxBrightness:
    case cmd::setIRFullRepeat: return 1;
    case cmd::setIRRepeatPeriod:
    case cmd::setDefaultResistance: return 2;
    default: return command <= cmd::setDefaultResistance ? 0 : -1;
    }
}

std::vector<MediaAction> getMediaActions(SerialLink& link) { return ReadTable<MediaAction>(link, cmd::getMediaActions); }
std::vector<GearAction> getGearActions(SerialLink& link) { return ReadTable<GearAction>(link, cmd::getGearActions); }
std::vector<HornAction> getHornActions(SerialLink& link) { return ReadTable<HornAction>(link, cmd::getHornActions); }
std::vector<AccAction> getAccActions(SerialLink& link) { return ReadTable<AccAction>(link, cmd::getAccActions); }

std::uint8_t setMediaAction(SerialLink& link, std::uint8_t slot, const MediaAction& record) {
    return WriteRecord(link, cmd::setMediaAction, slot, record);
}
std::uint8_t setGearAction(SerialLink& link, std::uint8_t slot, const GearAction& record) {
    return WriteRecord(link, cmd::setGearAction, slot, record);
}
std::uint8_t setHornAction(SerialLink& link, std::uint8_t slot, const HornAction& record) {
    return WriteRecord(link, cmd::setHornAction, slot, record);
}
std::uint8_t setAccAction(SerialLink& link, std::uint8_t slot, const AccAction& record) {
    return WriteRecord(link, cmd::setAccAction, slot, record);
}

std::uint8_t setMaxBrightness(SerialLink& link, std::uint8_t value) { return WriteValue(link, cmd::setMaxBrightness, value, 1); }
std::uint8_t setIRFullRepeat(SerialLink& link, std::uint8_t flag) { return WriteValue(link, cmd::setIRFullRepeat, flag, 1); }
std::uint8_t setIRRepeatPeriod(SerialLink& link, std::uint16_t periodMs) {
    return WriteValue(link, cmd::setIRRepeatPeriod, periodMs, 2);
}
std::uint8_t setDefaultResistance(SerialLink& link, std::uint16_t mask) {
    return WriteValue(link, cmd::setDefaultResistance, mask, 2);
}
std::uint8_t sendIR(SerialLink& link, std::uint32_t code) { return WriteValue(link, cmd::sendIR, code, 4); }

std::uint8_t queryByte(SerialLink& link, std::uint8_t command) {
    link.writeExact(&command, 1);
    std::uint8_t value = 0;
    link.readExact(&value, 1);
    return value;
}

std::uint16_t queryWord(SerialLink& link, std::uint8_t command) {
    link.writeExact(&command, 1);
    std::uint8_t reply[2]{};
    link.readExact(reply, 2);
    return static_cast<std::uint16_t>(LoadLittleEndian(reply, 2));
}

PressedButtons getPressedButtons(SerialLink& link) {
    std::uint8_t command = cmd::getPressedButtons;
    link.writeExact(&command, 1);
    std::uint8_t reply[5]{};
    link.readExact(reply, 5);
    return PressedButtons{reply[0], reply[1], reply[2], static_cast<std::uint16_t>(LoadLittleEndian(&reply[3], 2))};
}
