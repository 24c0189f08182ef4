#include "config/whole_config.h"

#include <type_traits>

#include "device/protocol.h"

Outcome ReadWholeConfig(Module& module, ModuleConfig& out) {
    return Attempt({Operation::ReadWholeConfig}, [&](Outcome&) {
        SerialLink& link = module.link;
        ModuleConfig read;
        // A backup restores what was there, not what the window would show:
        // the window caps the brightness at 100.
        read.settings.irRepeatPeriod = getSetting(link, Setting::IrRepeatPeriod);
        read.settings.irFullRepeat = getSetting(link, Setting::IrFullRepeat) != 0;
        read.settings.maxBrightness = getSetting(link, Setting::MaxBrightness);
        read.settings.defaultResistors = getSetting(link, Setting::DefaultResistance);
        ForEachTable(read, [&](const TableInfo&, auto& rows) {
            rows = readTable<typename std::decay_t<decltype(rows)>::value_type>(link);
        });
        out = std::move(read);
    });
}
