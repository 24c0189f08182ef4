#include "settings/setting_reads.h"

#include "device/protocol.h"

namespace {

// One query whose answer `hold` keeps.
template <class Hold>
Outcome Read(Module& module, Operation operation, Setting setting, Hold hold) {
    if (!IsConnected(module)) return {.operation = operation, .kind = OutcomeKind::NotConnected};
    return Attempt({operation}, [&](Outcome&) { hold(module.held.settings, getSetting(module.link, setting)); });
}

}  // namespace

Outcome ReadMaxBrightness(Module& module) {
    return Read(module, Operation::SyncMaxBrightness, Setting::MaxBrightness,
                [](ModuleSettings& s, std::uint32_t v) { s.maxBrightness = static_cast<std::uint8_t>(v > 100 ? 100 : v); });
}

Outcome ReadFullRepeat(Module& module) {
    return Read(module, Operation::SyncFullRepeat, Setting::IrFullRepeat,
                [](ModuleSettings& s, std::uint32_t v) { s.irFullRepeat = v != 0; });
}

Outcome ReadIrRepeatPeriod(Module& module) {
    return Read(module, Operation::SyncIrRepeatPeriod, Setting::IrRepeatPeriod,
                [](ModuleSettings& s, std::uint32_t v) { s.irRepeatPeriod = static_cast<std::uint16_t>(v); });
}

Outcome ReadDefaultResistance(Module& module) {
    return Read(module, Operation::SyncDefaultResistance, Setting::DefaultResistance,
                [](ModuleSettings& s, std::uint32_t v) { s.defaultResistors = static_cast<std::uint16_t>(v); });
}
