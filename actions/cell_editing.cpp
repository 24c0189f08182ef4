#include "actions/cell_editing.h"

#include <string>
#include <type_traits>
#include <vector>

#include "actions/auto_base.h"
#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "actions/row_text.h"
#include "device/protocol.h"

namespace {

// Only rows whose index fits the one-byte slot of the write commands can be
// edited; longer tables come only from a .cfg file.
bool editableRow(const App& app, int row) {
    return app.view.hasList() && row >= 0 && static_cast<std::size_t>(row) < kMaxWireRows;
}

std::vector<std::wstring> comboItems(std::uint32_t table, int column) {
    std::vector<std::wstring> items;
    if (column == kButtonColumn) {
        for (const auto& entry : ButtonCatalogue(table)) items.push_back(FormatCatalogueEntry(table, entry.name, entry.code));
    } else {
        const auto names = column == kRaColumn ? std::span<const CodeName>(ResistorsA) : std::span<const CodeName>(ResistorsB);
        for (const auto& entry : names) items.push_back(entry.name);
    }
    return items;
}

// Sends the record built from `fields` at `row` of the current table and
// stores it whatever the module answers; returns the module's response.
std::uint8_t sendRow(ActionsPage& page, int row, const ActionFields& fields) {
    std::uint8_t response = 0;
    WithHeldTable(page, page.currentTable, [&](auto& table) {
        using R = typename std::decay_t<decltype(table)>::value_type;
        const R record = MakeRecord<R>(fields);
        response = TableCommands<R>::write(page.link, static_cast<std::uint8_t>(row), record);
        if (static_cast<std::size_t>(row) < table.size()) table[static_cast<std::size_t>(row)] = record;
    });
    return response;
}

}  // namespace

void BeginIrEdit(App& app, int row, int column) {
    if (!editableRow(app, row) || (column != kButtonColumn && column != kIrColumn)) return;
    ActionsPage& page = app.page;
    page.editRow = row;
    page.editColumn = column;
    page.editOriginal = app.view.listCell(row, column);
    if (page.editBox) {
        app.view.closeIrEditor();  // a second editor of the same kind discards the first
        page.editBox = false;
    }
    app.view.openIrEditor(row, column, page.editOriginal);
    page.editBox = true;
}

void EndIrEdit(App& app, bool commit) {
    ActionsPage& page = app.page;
    if (!page.editBox) return;
    const std::wstring text = app.view.irEditorText();
    app.view.closeIrEditor();
    page.editBox = false;
    const int row = page.editRow, column = page.editColumn;
    page.editRow = page.editColumn = -1;
    if (!commit) return;
    app.view.listSetCell(row, column, text);
    if (!setAction(app, row)) app.view.listSetCell(row, column, page.editOriginal);
}

void BeginComboEdit(App& app, int row, int column) {
    if (!editableRow(app, row) || (column != kButtonColumn && column != kRaColumn && column != kRbColumn)) return;
    ActionsPage& page = app.page;
    page.comboRow = row;
    page.comboColumn = column;
    page.comboOriginal = app.view.listCell(row, column);
    if (page.comboBox) {
        app.view.closeComboEditor();
        page.comboBox = false;
    }
    const auto style = column == kButtonColumn ? ComboEditorStyle::EditableDropDown : ComboEditorStyle::DropDownList;
    app.view.openComboEditor(row, column, style, comboItems(page.currentTable, column), page.comboOriginal);
    page.comboBox = true;
}

void EndComboEdit(App& app, bool commit) {
    ActionsPage& page = app.page;
    if (!page.comboBox) return;
    const std::wstring choice = app.view.comboEditorChoice();
    app.view.closeComboEditor();
    page.comboBox = false;
    const int row = page.comboRow, column = page.comboColumn;
    page.comboRow = page.comboColumn = -1;
    if (!commit) return;
    app.view.listSetCell(row, column, choice);
    if (!setAction(app, row)) app.view.listSetCell(row, column, page.comboOriginal);
}

void ToggleCell(App& app, int row, int column) {
    if (!editableRow(app, row) || column < kRepeatColumn || column > kStoreColumn) return;
    const bool marked = app.view.listCell(row, column) == CheckMark;
    app.view.listSetCell(row, column, marked ? L"" : CheckMark);
    // The flipped cell stays whatever the module says: the status line tells.
    setAction(app, row);
}

void DispatchCellDoubleClick(App& app, int row, int column) {
    if (row < 0) return;
    if (column == kButtonColumn || column == kRaColumn || column == kRbColumn) {
        BeginComboEdit(app, row, column);
    } else if (column == kIrColumn) {
        BeginIrEdit(app, row, column);
    } else if (column >= kRepeatColumn && column <= kStoreColumn) {
        ToggleCell(app, row, column);
    }
}

void CommitOpenEditors(App& app, bool pointerOnComboEditor) {
    if (app.page.comboBox && !pointerOnComboEditor) EndComboEdit(app, true);
    if (app.page.editBox) EndIrEdit(app, true);
}

bool setAction(App& app, int row) {
    View& view = app.view;
    ActionsPage& page = app.page;

    const AutoBaseNumber ir = ParseAutoBase(view.listCell(row, kIrColumn));
    if (!ir.valid) {
        SetStatusText(app, L"Invalid IR.");
        return false;
    }
    ActionFields fields;
    fields.irCode = ir.value;
    if (IsChecked(view.listCell(row, kRepeatColumn))) fields.flags |= kFlagRepeat;
    for (int i = 0; i < 8; ++i)
        if (IsChecked(view.listCell(row, kFirstLineColumn + i))) fields.lines |= static_cast<std::uint8_t>(1u << i);
    if (IsChecked(view.listCell(row, kToggleColumn))) fields.flags |= kFlagToggle;
    if (IsChecked(view.listCell(row, kInvertColumn))) fields.flags |= kFlagInvert;
    if (IsChecked(view.listCell(row, kStoreColumn))) fields.flags |= kFlagStore;
    std::uint16_t ra = 0, rb = 0;
    if (!ResistorACode(view.listCell(row, kRaColumn), ra)) {
        SetStatusText(app, L"Invalid RA.");
        return false;
    }
    if (!ResistorBCode(view.listCell(row, kRbColumn), rb)) {
        SetStatusText(app, L"Invalid RB.");
        return false;
    }
    fields.resistors = static_cast<std::uint16_t>(ra | rb);

    try {
        const std::uint32_t table = page.currentTable;
        if (table >= kTableCount) return false;
        std::uint32_t code = 0;
        if (!ParseButton(table, view.listCell(row, kButtonColumn), code) || code > (table == Acc ? 0xFFFFu : 0xFFu)) {
            SetStatusText(app, L"Invalid Button.");
            return false;
        }
        // Never send a row under a truncated one-byte index.
        if (row < 0 || static_cast<std::size_t>(row) >= kMaxWireRows) return false;
        fields.button = static_cast<std::uint16_t>(code);
        const std::uint8_t response = sendRow(page, row, fields);
        for (int column = kButtonColumn; column <= kStoreColumn; ++column)
            view.listSetCell(row, column, ActionCellText(table, fields, column));
        if (response == 0) {
            SetStatusText(app, L"Action updated");
            return true;
        }
        SetStatusText(app, L"Updating action failed, response: " + std::to_wstring(response));
        return false;
    } catch (...) {
        SetStatusText(app, L"setAction failed (exception).");
        return false;
    }
}
