#include "device/protocol.h"

#include "device/little_endian.h"

namespace {

// The width of a reply that holds one value.
std::size_t ValueBytes(Reply reply) { return reply == Reply::Word ? 2 : 1; }

}  // namespace

std::uint32_t query(SerialLink& link, std::uint8_t command) {
    link.writeExact(&command, 1);
    std::uint8_t reply[2]{};
    const std::size_t width = ValueBytes(kCommands[command].reply);
    link.readExact(reply, width);
    return LoadLittleEndian(reply, width);
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
