#include "app/cell_editing.h"

#include <string>
#include <vector>

#include "actions/action_writes.h"
#include "app/status_line.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/row_text.h"

namespace {

// Only rows whose index fits the one-byte slot of the write commands can be
// edited; longer tables come only from a .cfg file.
bool EditableRow(const App& app, int row) {
    return app.view.hasList() && row >= 0 && static_cast<std::size_t>(row) < kMaxWireRows;
}

std::vector<std::wstring> ComboItems(std::uint32_t table, int column) {
    std::vector<std::wstring> items;
    if (column == kButtonColumn) {
        for (const auto& entry : ButtonCatalogue(table)) items.push_back(FormatCatalogueEntry(table, entry.name, entry.code));
    } else {
        const auto output = column == kRaColumn ? ResistorOutput::Ra : ResistorOutput::Rb;
        for (const auto& entry : ResistorCatalogue(output)) items.push_back(entry.name);
    }
    return items;
}

// Commits an editor's text into its cell; the cell takes back its text from
// before the edit when the row is not accepted.
void CommitCell(App& app, int row, int column, const std::wstring& text, const std::wstring& original) {
    app.view.listSetCell(row, column, text);
    if (!setAction(app, row)) app.view.listSetCell(row, column, original);
}

}  // namespace

void BeginIrEdit(App& app, int row, int column) {
    if (!EditableRow(app, row) || (column != kButtonColumn && column != kIrColumn)) return;
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
    if (commit) CommitCell(app, row, column, text, page.editOriginal);
}

void BeginComboEdit(App& app, int row, int column) {
    if (!EditableRow(app, row) || (column != kButtonColumn && column != kRaColumn && column != kRbColumn)) return;
    ActionsPage& page = app.page;
    page.comboRow = row;
    page.comboColumn = column;
    page.comboOriginal = app.view.listCell(row, column);
    if (page.comboBox) {
        app.view.closeComboEditor();
        page.comboBox = false;
    }
    const auto style = column == kButtonColumn ? ComboEditorStyle::EditableDropDown : ComboEditorStyle::DropDownList;
    app.view.openComboEditor(row, column, style, ComboItems(page.currentTable, column), page.comboOriginal);
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
    if (commit) CommitCell(app, row, column, choice, page.comboOriginal);
}

void ToggleCell(App& app, int row, int column) {
    if (!EditableRow(app, row) || column < kRepeatColumn || column > kStoreColumn) return;
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
    const std::uint32_t table = app.page.currentTable;
    RowCells cells;
    for (int column = 0; column < kColumnCount; ++column) cells[column] = app.view.listCell(row, column);
    ActionFields fields;
    if (const auto bad = ReadActionRow(table, cells, fields)) {
        Report(app, {.operation = &kWriteActionRow, .kind = OutcomeKind::InvalidInput, .input = *bad});
        return false;
    }
    bool accepted = false;
    Guarded(app, kWriteActionRow, [&] {
        const Outcome sent = WriteActionRow(app.module, table, row, fields);
        // Sent and answered, whatever the answer: the cells show what was
        // sent, so a typed 21 reads Next (0x15). RA and RB keep their texts.
        if (sent.kind == OutcomeKind::Done || sent.kind == OutcomeKind::Refused)
            for (int column = kButtonColumn; column <= kStoreColumn; ++column)
                app.view.listSetCell(row, column, ActionCellText(table, fields, column));
        Report(app, sent);
        accepted = Succeeded(sent);
    });
    return accepted;
}
