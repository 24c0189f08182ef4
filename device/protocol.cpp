#include "device/protocol.h"

#include "device/little_endian.h"

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

std::uint8_t send(SerialLink& link, std::uint8_t command, std::uint32_t value) {
    std::array<std::uint8_t, 5> request{command};
    const std::size_t width = kCommands[command].arguments;
    StoreLittleEndian(&request[1], value, width);
    link.writeExact(request.data(), 1 + width);
    std::uint8_t status = 0;
    link.readExact(&status, 1);
    return status;
}

PressedButtons getPressedButtons(SerialLink& link) {
    std::uint8_t command = cmd::getPressedButtons;
    link.writeExact(&command, 1);
    std::uint8_t reply[5]{};
    link.readExact(reply, 5);
    return PressedButtons{reply[0], reply[1], reply[2], static_cast<std::uint16_t>(LoadLittleEndian(&reply[3], 2))};
}
