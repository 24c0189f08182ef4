#include "actions/actions_list.h"

#include <string>
#include <type_traits>

#include "actions/cell_editing.h"
#include "actions/row_text.h"
#include "device/protocol.h"

namespace {

struct ColumnSpec {
    const wchar_t* title;
    int width;
    ColumnAlign align;
};

constexpr ColumnAlign L = ColumnAlign::Left;
constexpr ColumnAlign C = ColumnAlign::Centre;

constexpr ColumnSpec kColumns[kColumnCount] = {
    {L"Index", 60, L}, {L"Button", 100, L}, {L"IR", 100, L},    {L"Repeat", 50, C}, {L"L1", 30, C},
    {L"L2", 30, C},    {L"L3", 30, C},      {L"L4", 30, C},     {L"H1", 30, C},     {L"H2", 30, C},
    {L"H3", 30, C},    {L"H4", 30, C},      {L"Toggle", 50, C}, {L"Invert", 50, C}, {L"Store", 50, C},
    {L"RA", 50, L},    {L"RB", 50, L},
};

constexpr const wchar_t* kLoadedTexts[kTableCount] = {L"Media actions loaded.", L"Gear actions loaded.",
                                                       L"Horn actions loaded.", L"ACC actions loaded."};

}  // namespace

void SetupActionColumns(App& app) {
    View& view = app.view;
    if (!view.hasList()) return;
    view.listDeleteAllItems();
    while (view.listDeleteFirstColumn()) {
    }
    for (int i = 0; i < kColumnCount; ++i) view.listInsertColumn(i, kColumns[i].title, kColumns[i].width, kColumns[i].align);
}

void FillActionList(App& app) {
    if (!app.view.hasList()) return;
    SetupActionColumns(app);
    app.view.listDeleteAllItems();
    WithHeldTable(app.page, app.page.currentTable, [&](const auto& records) {
        for (std::size_t i = 0; i < records.size(); ++i) AddActionRow(app, static_cast<int>(i), FieldsOf(records[i]));
    });
}

void AddActionRow(App& app, int row, const ActionFields& fields) {
    const int at = app.view.listInsertRow(row, std::to_wstring(row));
    for (int column = 1; column < kColumnCount; ++column)
        app.view.listSetCell(at, column, ActionCellText(app.page.currentTable, fields, column));
}

void SwitchTable(App& app) {
    ActionsPage& page = app.page;
    if (page.comboBox) EndComboEdit(app, false);
    if (page.editBox) EndIrEdit(app, false);
    const int selection = app.view.tabSelection();
    page.currentTable = selection < 0 ? 0u : static_cast<std::uint32_t>(selection);
    FillActionList(app);
    if (page.link.connected) LoadCurrentActions(app);
}

void LoadCurrentActions(App& app) {
    ActionsPage& page = app.page;
    bool loaded = false;
    try {
        loaded = WithHeldTable(page, page.currentTable, [&](auto& records) {
            records = TableCommands<typename std::decay_t<decltype(records)>::value_type>::read(page.link);
        });
    } catch (...) {
        // The table keeps what it held and the list is not refilled; the
        // failure stays here, so even a dead line does not disconnect.
        SetStatusText(app, L"Get actions failed (exception).");
        return;
    }
    FillActionList(app);
    if (loaded) SetStatusText(app, kLoadedTexts[page.currentTable]);
}

bool ReloadAllActions(App& app) {
    ActionsPage& page = app.page;
    try {
        // Each table is replaced as soon as it is in, so a failure half-way
        // keeps the tables already read.
        page.mediaActions = getMediaActions(page.link);
        page.gearActions = getGearActions(page.link);
        page.hornActions = getHornActions(page.link);
        page.accActions = getAccActions(page.link);
        return true;
    } catch (...) {
        SetStatusText(app, L"Loading actions from device failed (exception).");
        return false;
    }
}
