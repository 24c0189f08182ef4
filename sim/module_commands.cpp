#include "sim/module_commands.h"

#include <algorithm>

#include "device/little_endian.h"
#include "sim/factory_config.h"

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

// A value as wide as the reply of its query.
Bytes Value(std::uint32_t value, Reply reply) {
    Bytes bytes(reply == Reply::Word ? 2 : 1);
    StoreLittleEndian(bytes.data(), value, bytes.size());
    return bytes;
}

}  // namespace

bool RepliesWithStatus(std::uint8_t command) {
    return command < kCommandCount && kCommands[command].reply == Reply::Status;
}

Bytes ExecuteRequest(ModuleState& state, const Bytes& request, const LiveValues& live) {
    const std::uint8_t command = request.at(0);
    if (command >= kCommandCount) return {};
    const CommandInfo& info = kCommands[command];
    ModuleConfig& run = state.running;
    Bytes reply;
    const bool onTable = WithTable(run, info.table, [&](auto& rows) {
        reply = info.reply == Reply::Records ? TableReply(rows) : StoreRecord(rows, request);
    });
    if (onTable) return reply;
    if (info.setting) {
        if (info.reply != Reply::Status) return Value(SettingValue(run.settings, *info.setting), info.reply);
        SetSettingValue(run.settings, *info.setting, ValueOf(request));
    }
    switch (command) {
    case cmd::getPressedButtons: {
        const PressedButtons& p = live.pressed;
        return {p.media, p.gears, p.horn, static_cast<std::uint8_t>(p.acc), static_cast<std::uint8_t>(p.acc >> 8)};
    }
    case cmd::getCurrentBrightness: return {live.brightness};
    case cmd::saveConfig: state.stored = run; break;
    case cmd::loadConfig: run = state.stored; break;
    case cmd::resetConfig: run = FactoryConfig(); break;
    default: break;  // sendIR: the code goes out on the IR diode; nothing is kept
    }
    return {kOk};
}
