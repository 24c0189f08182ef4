#include "app/actions_list.h"

#include <string>

#include "actions/action_reads.h"
#include "app/cell_editing.h"
#include "app/status_line.h"
#include "vocabulary/row_text.h"

namespace {

// The list view's columns: width in pixels and alignment, Index to RB.
struct ColumnLook {
    int width;
    ColumnAlign align;
};
constexpr ColumnAlign L = ColumnAlign::Left;
constexpr ColumnAlign C = ColumnAlign::Centre;
constexpr ColumnLook kColumnLooks[kColumnCount] = {
    {60, L}, {100, L}, {100, L}, {50, C}, {30, C}, {30, C}, {30, C}, {30, C}, {30, C},
    {30, C}, {30, C},  {30, C},  {50, C}, {50, C}, {50, C}, {50, L}, {50, L},
};

void AddActionRow(App& app, int row, const ActionFields& fields) {
    const int at = app.view.listInsertRow(row, std::to_wstring(row));
    for (int column = kButtonColumn; column < kColumnCount; ++column)
        app.view.listSetCell(at, column, ActionCellText(app.page.currentTable, fields, column));
}

}  // namespace

void SetupActionColumns(App& app) {
    View& view = app.view;
    if (!view.hasList()) return;
    view.listDeleteAllItems();
    while (view.listDeleteFirstColumn()) {
    }
    for (int i = 0; i < kColumnCount; ++i)
        view.listInsertColumn(i, kColumnTitles[i], kColumnLooks[i].width, kColumnLooks[i].align);
}

void FillActionList(App& app) {
    if (!app.view.hasList()) return;
    SetupActionColumns(app);
    WithTable(app.module.held, app.page.currentTable, [&](const auto& rows) {
        for (std::size_t i = 0; i < rows.size(); ++i) AddActionRow(app, static_cast<int>(i), FieldsOf(rows[i]));
    });
}

void SwitchTable(App& app) {
    ActionsPage& page = app.page;
    if (page.comboBox) EndComboEdit(app, false);
    if (page.editBox) EndIrEdit(app, false);
    const int selection = app.view.tabSelection();
    page.currentTable = selection < 0 ? 0u : static_cast<std::uint32_t>(selection);
    FillActionList(app);
    if (IsConnected(app.module)) LoadCurrentActions(app);
}

void LoadCurrentActions(App& app) {
    Guarded(app, kLoadTable, [&] {
        const Outcome loaded = LoadTable(app.module, app.page.currentTable);
        // A failed read leaves the list as it is; the failure stays here, so
        // even a dead line does not disconnect.
        if (!LinkFailed(loaded)) FillActionList(app);
        Report(app, loaded);
    });
}

void ReloadAllActions(App& app) {
    Guarded(app, kReloadAllTables, [&] { Report(app, ReloadAllTables(app.module)); });
}
