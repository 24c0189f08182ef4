#include "config/whole_config.h"

#include "device/protocol.h"
#include "settings/setting_reads.h"

Outcome ReadWholeConfig(Module& module, ModuleConfig& out) {
    return AttemptOn(module, {&kReadWholeConfig}, [&](Outcome&) {
        ModuleConfig read;
        for (Setting setting : kSettings) QuerySetting(module.link, setting, read.settings);
        ForEachTable(read, [&](const TableInfo&, auto& rows) { readTable(module.link, rows); });
        out = std::move(read);
    });
}
