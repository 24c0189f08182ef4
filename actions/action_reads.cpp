#include "actions/action_reads.h"

#include "device/protocol.h"

Outcome LoadTable(Module& module, std::uint32_t table) {
    Outcome outcome{.operation = &kLoadTable, .table = table};
    if (table >= kTableCount) {
        outcome.kind = OutcomeKind::InvalidInput;
        outcome.input = BadInput::Table;
        return outcome;
    }
    return AttemptOn(module, outcome, [&](Outcome&) {
        WithTable(module.held, table, [&](auto& rows) { readTable(module.link, rows); });
    });
}

Outcome ReloadAllTables(Module& module) {
    return AttemptOn(module, {&kReloadAllTables}, [&](Outcome& outcome) {
        ForEachTable(module.held, [&](const TableInfo& info, auto& rows) {
            outcome.table = info.id;
            readTable(module.link, rows);
        });
    });
}
