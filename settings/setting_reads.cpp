#include "settings/setting_reads.h"

#include "device/protocol.h"

namespace {

// One query whose answer `hold` keeps.
template <class Query, class Hold>
Outcome Read(Module& module, Operation operation, Query query, Hold hold) {
    if (!IsConnected(module)) return {.operation = operation, .kind = OutcomeKind::NotConnected};
    return Attempt({operation}, [&](Outcome&) { hold(module.held.settings, query(module.link)); });
}

}  // namespace

Outcome ReadMaxBrightness(Module& module) {
    return Read(module, Operation::SyncMaxBrightness, getMaxBrightness,
                [](ModuleSettings& s, std::uint8_t v) { s.maxBrightness = v > 100 ? 100 : v; });
}

Outcome ReadFullRepeat(Module& module) {
    return Read(module, Operation::SyncFullRepeat, getIRFullRepeat,
                [](ModuleSettings& s, std::uint8_t v) { s.irFullRepeat = v != 0; });
}

Outcome ReadIrRepeatPeriod(Module& module) {
    return Read(module, Operation::SyncIrRepeatPeriod, getIRRepeatPeriod,
                [](ModuleSettings& s, std::uint16_t v) { s.irRepeatPeriod = v; });
}

Outcome ReadDefaultResistance(Module& module) {
    return Read(module, Operation::SyncDefaultResistance, getDefaultResistance,
                [](ModuleSettings& s, std::uint16_t v) { s.defaultResistors = v; });
}
