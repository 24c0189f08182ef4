#include "settings/setting_commands.h"

#include <iterator>

#include "device/protocol.h"
#include "vocabulary/catalogues.h"

namespace {

Outcome With(Operation operation, OutcomeKind kind) { return {.operation = operation, .kind = kind}; }

// One exchange that answers a status byte.
template <class Send>
Outcome SendForStatus(Operation operation, Send send) {
    return Attempt({operation}, [&](Outcome& o) { TakeStatus(o, send()); });
}

// The three commands on the stored configuration.
Outcome StoredConfigCommand(Module& module, Operation operation, std::uint8_t command) {
    if (!IsConnected(module)) return With(operation, OutcomeKind::NotConnected);
    return SendForStatus(operation, [&] { return static_cast<std::uint8_t>(query(module.link, command)); });
}

}  // namespace

Outcome SaveModuleConfig(Module& module) { return StoredConfigCommand(module, Operation::SaveModuleConfig, cmd::saveConfig); }
Outcome LoadModuleConfig(Module& module) { return StoredConfigCommand(module, Operation::LoadModuleConfig, cmd::loadConfig); }
Outcome ResetModuleConfig(Module& module) { return StoredConfigCommand(module, Operation::ResetModuleConfig, cmd::resetConfig); }

Outcome SendIrCode(Module& module, NumberInput code) {
    if (!IsConnected(module)) return With(Operation::SendIrCode, OutcomeKind::NotConnected);
    if (!code) return With(Operation::SendIrCode, OutcomeKind::InvalidInput);
    return SendForStatus(Operation::SendIrCode, [&] { return send(module.link, cmd::sendIR, *code); });
}

Outcome ApplyIrRepeatPeriod(Module& module, NumberInput period) {
    if (!IsConnected(module)) return With(Operation::ApplyIrRepeatPeriod, OutcomeKind::NotConnected);
    if (!period) return With(Operation::ApplyIrRepeatPeriod, OutcomeKind::InvalidInput);
    // No range check: only the low 16 bits go on the wire.
    return SendForStatus(Operation::ApplyIrRepeatPeriod,
                         [&] { return setSetting(module.link, Setting::IrRepeatPeriod, static_cast<std::uint16_t>(*period)); });
}

Outcome SetIrFullRepeat(Module& module, bool on) {
    return SendForStatus(Operation::ToggleIrFullRepeat, [&] { return setSetting(module.link, Setting::IrFullRepeat, on ? 1 : 0); });
}

Outcome ApplyDefaultResistance(Module& module, int raIndex, int rbIndex) {
    // Both positions are checked before either indexes its catalogue.
    if (raIndex < 0 || rbIndex < 0 || raIndex >= std::ssize(ResistorsA) || rbIndex >= std::ssize(ResistorsB))
        return With(Operation::ApplyDefaultResistance, OutcomeKind::InvalidInput);
    const auto value = static_cast<std::uint16_t>(ResistorsB[rbIndex].code | ResistorsA[raIndex].code);
    Outcome outcome = SendForStatus(Operation::ApplyDefaultResistance, [&] { return setSetting(module.link, Setting::DefaultResistance, value); });
    if (Succeeded(outcome)) module.held.settings.defaultResistors = value;
    return outcome;
}

Outcome ApplyMaxBrightness(Module& module, NumberInput value) {
    if (!IsConnected(module)) return With(Operation::ApplyMaxBrightness, OutcomeKind::NotConnected);
    if (!value || *value > 100) return With(Operation::ApplyMaxBrightness, OutcomeKind::InvalidInput);
    return SendForStatus(Operation::ApplyMaxBrightness,
                         [&] { return setSetting(module.link, Setting::MaxBrightness, static_cast<std::uint8_t>(*value)); });
}

Outcome WriteHeldSetting(Module& module, Setting setting) {
    const ModuleSettings& held = module.held.settings;
    return Attempt({.operation = Operation::WriteHeldSetting, .setting = setting}, [&](Outcome& o) {
        switch (setting) {
        case Setting::IrRepeatPeriod: TakeStatus(o, setSetting(module.link, Setting::IrRepeatPeriod, held.irRepeatPeriod)); break;
        case Setting::IrFullRepeat: TakeStatus(o, setSetting(module.link, Setting::IrFullRepeat, held.irFullRepeat != 0 ? 1 : 0)); break;
        case Setting::MaxBrightness: TakeStatus(o, setSetting(module.link, Setting::MaxBrightness, held.maxBrightness)); break;
        case Setting::DefaultResistance: TakeStatus(o, setSetting(module.link, Setting::DefaultResistance, held.defaultResistors)); break;
        }
    });
}
