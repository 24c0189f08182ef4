#include "settings/setting_commands.h"

#include "device/protocol.h"

namespace {

// One exchange that answers a status byte.
template <class Send>
Outcome SendForStatus(Module& module, Outcome outcome, Send send) {
    return AttemptOn(module, outcome, [&](Outcome& o) { TakeStatus(o, send()); });
}

Outcome Query(Module& module, const OperationId& operation, std::uint8_t (*command)(SerialLink&)) {
    return SendForStatus(module, {&operation}, [&] { return command(module.link); });
}

Outcome Set(Module& module, const OperationId& operation, Setting setting, std::uint32_t value) {
    return SendForStatus(module, {&operation}, [&] { return setSetting(module.link, setting, value); });
}

}  // namespace

Outcome SaveModuleConfig(Module& module) { return Query(module, kSaveModuleConfig, saveConfig); }
Outcome LoadModuleConfig(Module& module) { return Query(module, kLoadModuleConfig, loadConfig); }
Outcome ResetModuleConfig(Module& module) { return Query(module, kResetModuleConfig, resetConfig); }

Outcome SendIrCode(Module& module, std::uint32_t code) {
    return SendForStatus(module, {&kSendIrCode}, [&] { return sendIR(module.link, code); });
}

Outcome ApplyIrRepeatPeriod(Module& module, std::uint16_t periodMs) {
    return Set(module, kApplyIrRepeatPeriod, Setting::IrRepeatPeriod, periodMs);
}

Outcome SetIrFullRepeat(Module& module, bool on) { return Set(module, kSetIrFullRepeat, Setting::IrFullRepeat, on); }

Outcome ApplyDefaultResistance(Module& module, std::uint16_t resistors) {
    const Outcome outcome = Set(module, kApplyDefaultResistance, Setting::DefaultResistance, resistors);
    if (Succeeded(outcome)) module.held.settings.defaultResistors = resistors;
    return outcome;
}

Outcome ApplyMaxBrightness(Module& module, std::uint8_t percent) {
    return Set(module, kApplyMaxBrightness, Setting::MaxBrightness, percent);
}

Outcome CheckSettingRanges(const ModuleSettings& settings) {
    if (settings.maxBrightness <= kBrightnessPercentMax) return {&kWriteHeldSetting};
    return {.operation = &kWriteHeldSetting,
            .kind = OutcomeKind::InvalidInput,
            .input = BadInput::Value,
            .setting = Setting::MaxBrightness};
}

Outcome WriteHeldSetting(Module& module, Setting setting) {
    const std::uint32_t held = SettingValue(module.held.settings, setting);
    const std::uint32_t value = setting == Setting::IrFullRepeat ? held != 0 : held;
    return SendForStatus(module, {.operation = &kWriteHeldSetting, .setting = setting},
                         [&] { return setSetting(module.link, setting, value); });
}
