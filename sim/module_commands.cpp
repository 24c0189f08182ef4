#include "sim/module_commands.h"

#include <algorithm>

#include "device/little_endian.h"

namespace {

constexpr std::uint8_t kOk = 0;
// The module's answer to a slot past the end of its table: the table has a
// fixed length and does not grow.
constexpr std::uint8_t kNoSuchSlot = 1;

using Bytes = std::vector<std::uint8_t>;

template <class R>
Bytes TableReply(const std::vector<R>& table) {
    // The count is one byte: a longer table would not fit the protocol, and
    // the module never holds one.
    std::size_t count = std::min<std::size_t>(table.size(), 255);
    Bytes reply{static_cast<std::uint8_t>(count)};
    for (std::size_t i = 0; i < count; ++i) reply.insert(reply.end(), table[i].bytes.begin(), table[i].bytes.end());
    return reply;
}

template <class R>
Bytes StoreRecord(std::vector<R>& table, const Bytes& request) {
    std::size_t slot = request[1];
    if (slot >= table.size()) return {kNoSuchSlot};
    std::copy(request.begin() + 2, request.end(), table[slot].bytes.begin());
    return {kOk};
}

// The value that follows the command byte, as wide as the request makes it.
std::uint32_t ValueOf(const Bytes& request) { return LoadLittleEndian(&request[1], request.size() - 1); }

Bytes Word(std::uint16_t value) {
    Bytes bytes(2);
    StoreLittleEndian(bytes.data(), value, 2);
    return bytes;
}

}  // namespace

bool RepliesWithStatus(std::uint8_t command) {
    switch (command) {
    case cmd::setMediaAction:
    case cmd::setAccAction:
    case cmd::setHornAction:
    case cmd::setGearAction:
    case cmd::saveConfig:
    case cmd::loadConfig:
    case cmd::resetConfig:
    case cmd::sendIR:
    case cmd::setMaxBrightness:
    case cmd::setIRFullRepeat:
    case cmd::setIRRepeatPeriod:
    case cmd::setDefaultResistance: return true;
    default: return false;
    }
}

Bytes ExecuteRequest(ModuleState& state, const Bytes& request, const LiveValues& live) {
    ModuleConfig& run = state.running;
    switch (request.at(0)) {
    case cmd::getMediaActions: return TableReply(run.media);
    case cmd::getGearActions: return TableReply(run.gears);
    case cmd::getHornActions: return TableReply(run.horn);
    case cmd::getAccActions: return TableReply(run.acc);
    case cmd::setMediaAction: return StoreRecord(run.media, request);
    case cmd::setGearAction: return StoreRecord(run.gears, request);
    case cmd::setHornAction: return StoreRecord(run.horn, request);
    case cmd::setAccAction: return StoreRecord(run.acc, request);
    case cmd::getPressedButtons: {
        const PressedButtons& p = live.pressed;
        return {p.media, p.gears, p.horn, static_cast<std::uint8_t>(p.acc), static_cast<std::uint8_t>(p.acc >> 8)};
    }
    case cmd::getCurrentBrightness: return {live.brightness};
    case cmd::saveConfig: state.stored = run; return {kOk};
    case cmd::loadConfig: run = state.stored; return {kOk};
    case cmd::resetConfig: run = FactoryConfig(); return {kOk};
    case cmd::sendIR: return {kOk};  // the code goes out on the IR diode; nothing is kept
    case cmd::setMaxBrightness: run.settings.maxBrightness = request[1]; return {kOk};
    case cmd::getMaxBrightness: return {run.settings.maxBrightness};
    case cmd::setIRFullRepeat: run.settings.irFullRepeat = request[1]; return {kOk};
    case cmd::getIRFullRepeat: return {run.settings.irFullRepeat};
    case cmd::setIRRepeatPeriod: run.settings.irRepeatPeriod = static_cast<std::uint16_t>(ValueOf(request)); return {kOk};
    case cmd::getIRRepeatPeriod: return Word(run.settings.irRepeatPeriod);
    case cmd::setDefaultResistance: run.settings.defaultResistors = static_cast<std::uint16_t>(ValueOf(request)); return {kOk};
    case cmd::getDefaultResistance: return Word(run.settings.defaultResistors);
    default: return {};
    }
}
