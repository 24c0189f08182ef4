#include "actions/action_reads.h"

#include <type_traits>

#include "device/protocol.h"

namespace {

template <class Rows>
void ReadInto(SerialLink& link, Rows& rows) {
    rows = readTable<typename std::decay_t<Rows>::value_type>(link);
}

}  // namespace

Outcome LoadTable(Module& module, std::uint32_t table) {
    Outcome outcome{.operation = Operation::LoadTable, .table = table};
    if (table >= kTableCount) {
        outcome.kind = OutcomeKind::InvalidInput;
        outcome.input = BadInput::Table;
        return outcome;
    }
    return Attempt(outcome, [&](Outcome&) { WithTable(module.held, table, [&](auto& rows) { ReadInto(module.link, rows); }); });
}

Outcome ReloadAllTables(Module& module) {
    return Attempt({Operation::ReloadAllTables}, [&](Outcome& outcome) {
        ForEachTable(module.held, [&](const TableInfo& info, auto& rows) {
            outcome.table = info.id;
            ReadInto(module.link, rows);
        });
    });
}
