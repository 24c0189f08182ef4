#pragma once
// The main window held in memory: every control of the layout table with its
// text, check mark, enabled flag and combo items, the tab selection, the list
// view's columns and cells, the poll timer and the two cell editors. Tests
// drive it like a user would (type into an editor, pick an item, answer a file
// dialog).

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/layout_table.h"
#include "app/view.h"

class MemoryView : public View {
public:
    struct Control {
        ControlKind kind;
        std::wstring text;
        bool checked = false;
        bool enabled = true;
        std::vector<std::wstring> items{};  // combo boxes
        int selection = -1;
    };

    struct Column {
        std::wstring title;
        int width;
        ColumnAlign align;
    };

    struct IrEditor {
        bool open = false;
        int row = -1, column = -1;
        std::wstring text;
    };

    struct ComboEditor {
        bool open = false;
        int row = -1, column = -1;
        ComboEditorStyle style = ComboEditorStyle::DropDownList;
        std::vector<std::wstring> items;
        std::wstring text;  // the editable field, or the selected item's text
        int selection = -1;
    };

    // Every control of kMainControls with its creation text.
    MemoryView();

    bool hasControl(int id) const override;
    void setText(int id, const std::wstring& text) override;
    // A drop-down list reads as its selected item, as the window system gives it.
    std::wstring getText(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void enable(int id, bool enabled) override;

    void comboReset(int id) override;
    void comboAdd(int id, const std::wstring& text) override;
    void comboSelect(int id, int index) override;
    int comboFindExact(int id, const std::wstring& text) const override;
    int comboSelection(int id) const override;

    int tabSelection() const override { return tab; }
    void tabSelect(int index) override;

    bool hasList() const override { return true; }
    void listDeleteAllItems() override { rows.clear(); }
    bool listDeleteFirstColumn() override;
    void listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) override;
    int listInsertRow(int index, const std::wstring& text) override;
    void listSetCell(int row, int column, const std::wstring& text) override;
    std::wstring listCell(int row, int column) const override;
    int listRowCount() const override { return static_cast<int>(rows.size()); }

    void startPollTimer(unsigned periodMs) override { pollPeriodMs = periodMs; }
    void stopPollTimer() override { pollPeriodMs = 0; }

    void openIrEditor(int row, int column, const std::wstring& text) override;
    std::wstring irEditorText() const override { return ir.text; }
    void closeIrEditor() override { ir = {}; }
    void openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                         const std::wstring& original) override;
    std::wstring comboEditorChoice() const override;
    void closeComboEditor() override { combo = {}; }

    std::optional<std::wstring> askSaveFileName() override;
    std::optional<std::wstring> askOpenFileName() override;

    // Reading back what a user would see.
    const Control& control(int id) const;  // throws std::out_of_range for an unknown id
    bool isEnabled(int id) const { return control(id).enabled; }
    const std::vector<std::wstring>& comboItems(int id) const { return control(id).items; }
    const std::vector<Column>& listColumns() const { return columns; }
    std::vector<std::wstring> listRow(int row) const;  // every column, as listCell reads them
    bool pollTimerRunning() const { return pollPeriodMs != 0; }
    unsigned pollTimerPeriodMs() const { return pollPeriodMs; }
    const IrEditor& irEditor() const { return ir; }
    const ComboEditor& comboEditor() const { return combo; }

    // What a user does inside an open editor.
    void typeIntoIrEditor(const std::wstring& text);
    void typeIntoComboEditor(const std::wstring& text);  // an editable combo only; clears the selection
    void pickComboItem(int index);

    // Answers the next file dialogs give, in order; an empty queue or a
    // nullopt answer is a cancelled dialog.
    std::deque<std::optional<std::wstring>> saveAnswers, openAnswers;
    int saveDialogsShown = 0, openDialogsShown = 0;

private:
    Control* find(int id);
    const Control* find(int id) const;

    std::map<int, Control> controls;
    int tab = 0;
    std::vector<Column> columns;
    std::vector<std::vector<std::wstring>> rows;  // one text per column, at least the item's own
    unsigned pollPeriodMs = 0;  // 0: not running
    IrEditor ir;
    ComboEditor combo;
};
