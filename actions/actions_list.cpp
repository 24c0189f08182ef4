#include "actions/actions_list.h"

#include <string>

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

template <class R>
void addRows(App& app, const std::vector<R>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) AddActionRow(app, static_cast<int>(i), FieldsOf(records[i]));
}

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
    const ActionsPage& page = app.page;
    switch (page.currentTable) {
    case Media: addRows(app, page.mediaActions); break;
    case Gears: addRows(app, page.gearActions); break;
    case Horn: addRows(app, page.hornActions); break;
    case Acc: addRows(app, page.accActions); break;
    default: break;
    }
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
    const wchar_t* loaded = nullptr;
    try {
        switch (page.currentTable) {
        case Media:
            page.mediaActions = getMediaActions(page.link);
            loaded = L"Media actions loaded.";
            break;
        case Gears:
            page.gearActions = getGearActions(page.link);
            loaded = L"Gear actions loaded.";
            break;
        case Horn:
            page.hornActions = getHornActions(page.link);
            loaded = L"Horn actions loaded.";
            break;
        case Acc:
            page.accActions = getAccActions(page.link);
            loaded = L"ACC actions loaded.";
            break;
        default: break;
        }
    } catch (...) {
        // The table keeps what it held and the list is not refilled; the
        // failure stays here, so even a dead line does not disconnect.
        SetStatusText(app, L"Get actions failed (exception).");
        return;
    }
    FillActionList(app);
    if (loaded) SetStatusText(app, loaded);
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
