#include "actions/action_writes.h"

#include <type_traits>

#include "device/protocol.h"

Outcome WriteActionRow(Module& module, std::uint32_t table, int row, const ActionFields& fields) {
    Outcome outcome{.operation = &kWriteActionRow, .table = table};
    if (row < 0 || static_cast<std::size_t>(row) >= kMaxWireRows || table >= kTableCount) {
        outcome.kind = OutcomeKind::InvalidInput;
        outcome.input = row < 0 || static_cast<std::size_t>(row) >= kMaxWireRows ? BadInput::Row : BadInput::Table;
        return outcome;
    }
    outcome.row = static_cast<std::size_t>(row);
    return AttemptOn(module, outcome, [&](Outcome& o) {
        WithTable(module.held, table, [&](auto& rows) {
            using R = typename std::decay_t<decltype(rows)>::value_type;
            const R record = MakeRecord<R>(fields);
            TakeStatus(o, writeRecord(module.link, static_cast<std::uint8_t>(row), record));
            if (o.row < rows.size()) rows[o.row] = record;
        });
    });
}

Outcome CheckTableLengths(const ModuleConfig& config) {
    Outcome outcome{&kWriteAllActions};
    ForEachTable(config, [&](const TableInfo& info, const auto& rows) {
        if (outcome.kind == OutcomeKind::Done && rows.size() > kMaxWireRows) {
            outcome.kind = OutcomeKind::InvalidInput;
            outcome.input = BadInput::TableTooLong;
            outcome.table = info.id;
        }
    });
    return outcome;
}

Outcome WriteAllActions(Module& module) {
    // Checked before the first byte goes out, so the module never holds half
    // of a configuration it could not take whole.
    const Outcome outcome = CheckTableLengths(module.held);
    if (!Succeeded(outcome)) return outcome;
    return AttemptOn(module, outcome, [&](Outcome& o) {
        ForEachTable(module.held, [&](const TableInfo& info, const auto& rows) {
            for (std::size_t i = 0; i < rows.size() && Succeeded(o); ++i) {
                o.table = info.id;
                o.row = i;
                TakeStatus(o, writeRecord(module.link, static_cast<std::uint8_t>(i), rows[i]));
            }
        });
    });
}
