#include "config/whole_config.h"

#include <type_traits>

#include "device/protocol.h"

Outcome ReadWholeConfig(Module& module, ModuleConfig& out) {
    return Attempt({Operation::ReadWholeConfig}, [&](Outcome&) {
        SerialLink& link = module.link;
        ModuleConfig read;
        // A backup restores what was there, not what the window would show:
        // the window caps the brightness at 100.
        read.settings.irRepeatPeriod = getIRRepeatPeriod(link);
        read.settings.irFullRepeat = getIRFullRepeat(link) != 0;
        read.settings.maxBrightness = getMaxBrightness(link);
        read.settings.defaultResistors = getDefaultResistance(link);
        ForEachTable(read, [&](const TableInfo&, auto& rows) {
            rows = TableCommands<typename std::decay_t<decltype(rows)>::value_type>::read(link);
        });
        out = std::move(read);
    });
}
