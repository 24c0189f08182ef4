#include "settings/setting_reads.h"

#include "device/protocol.h"

namespace {

Outcome Read(Module& module, const OperationId& operation, Setting setting) {
    return AttemptOn(module, {&operation}, [&](Outcome&) { QuerySetting(module.link, setting, module.held.settings); });
}

}  // namespace

void QuerySetting(SerialLink& link, Setting setting, ModuleSettings& into) {
    const std::uint32_t value = getSetting(link, setting);
    SetSettingValue(into, setting, setting == Setting::IrFullRepeat ? value != 0 : value);
}

Outcome ReadMaxBrightness(Module& module) { return Read(module, kReadMaxBrightness, Setting::MaxBrightness); }
Outcome ReadFullRepeat(Module& module) { return Read(module, kReadFullRepeat, Setting::IrFullRepeat); }
Outcome ReadIrRepeatPeriod(Module& module) { return Read(module, kReadIrRepeatPeriod, Setting::IrRepeatPeriod); }
Outcome ReadDefaultResistance(Module& module) {
    return Read(module, kReadDefaultResistance, Setting::DefaultResistance);
}
