#pragma once
// The main window held in memory: the controls of the layout table, the tabs, the list view, the poll timer and
// the two cell editors. Tests drive it like a user would, and every status text shown is logged.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/layout_table.h"
#include "app/resource_ids.h"
#include "app/view.h"

class MemoryView : public View {
public:
    using Texts = std::vector<std::wstring>;
    struct Control {
        ControlKind kind;
        std::wstring text;
        bool checked = false, enabled = true;
        Texts items{};  // combo boxes
        int selection = -1;
    };
    // The IR edit box uses the text only.
    struct Editor {
        bool open = false;
        std::wstring text;  // the edit field, an editable combo's field, or the selected item's text
        ComboEditorStyle style = ComboEditorStyle::DropDownList;
        Texts items{};
        int selection = -1;
    };

    MemoryView() {
        for (const auto& spec : kMainControls)
            if (spec.id != 0) controls.emplace(spec.id, Control{spec.kind, spec.text});
    }

    bool hasControl(int id) const override { return controls.contains(id); }
    void setText(int id, const std::wstring& text) override {
        if (beforeSetText) beforeSetText(id);
        if (id == IDC_STATUS) statusLog.push_back(text);
        if (slot(id).kind != ControlKind::DropDownList) slot(id).text = text;
    }
    // A drop-down list reads as its selected item, as the window system gives it.
    std::wstring getText(int id) const override {
        const Control& c = slot(id);
        if (c.kind != ControlKind::DropDownList) return c.text;
        return c.selection >= 0 ? c.items[static_cast<std::size_t>(c.selection)] : L"";
    }
    void setChecked(int id, bool checked) override { slot(id).checked = checked; }
    bool isChecked(int id) const override { return slot(id).checked; }
    void enable(int id, bool enabled) override { slot(id).enabled = enabled; }

    void comboReset(int id) override { slot(id).items.clear(), slot(id).selection = -1; }
    void comboAdd(int id, const std::wstring& text) override { slot(id).items.push_back(text); }
    // An index outside the items clears the selection, as CB_SETCURSEL does.
    void comboSelect(int id, int index) override {
        slot(id).selection = index >= 0 && index < static_cast<int>(slot(id).items.size()) ? index : -1;
    }
    int comboFindExact(int id, const std::wstring& text) const override {
        const Texts& items = slot(id).items;
        auto it = std::ranges::find(items, text);
        return it == items.end() ? -1 : static_cast<int>(it - items.begin());
    }
    int comboSelection(int id) const override { return slot(id).selection; }

    int tabSelection() const override { return tab; }
    // -1 deselects every tab; other indexes outside the four tabs are refused.
    void tabSelect(int index) override {
        if (index >= -1 && index < 4) tab = index;
    }

    // Columns by title; the cells of a row, at least the item's own.
    bool hasList() const override { return true; }
    void listDeleteAllItems() override { rows.clear(); }
    bool listDeleteFirstColumn() override {
        if (columns.empty()) return false;
        columns.erase(columns.begin());
        for (auto& row : rows)
            if (!row.empty()) row.erase(row.begin());
        return true;
    }
    void listInsertColumn(int index, const std::wstring& title, int, ColumnAlign) override {
        columns.insert(columns.begin() + std::clamp(index, 0, static_cast<int>(columns.size())), title);
    }
    int listInsertRow(int index, const std::wstring& text) override {
        const int at = std::clamp(index, 0, listRowCount());
        rows.insert(rows.begin() + at, Texts{text});
        return at;
    }
    void listSetCell(int row, int column, const std::wstring& text) override {
        if (row < 0 || row >= listRowCount() || column < 0 || column >= std::max(1, listColumnCount())) return;
        auto& cells = rows[static_cast<std::size_t>(row)];
        cells.resize(std::max(cells.size(), static_cast<std::size_t>(column) + 1));
        cells[static_cast<std::size_t>(column)] = text;
    }
    // The window system reads a cell into a 100-unit buffer, terminator included.
    std::wstring listCell(int row, int column) const override {
        if (row < 0 || row >= listRowCount() || column < 0) return {};
        const auto& cells = rows[static_cast<std::size_t>(row)];
        return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)].substr(0, 99)
                                                                 : L"";
    }
    int listRowCount() const override { return static_cast<int>(rows.size()); }
    int listColumnCount() const { return static_cast<int>(columns.size()); }

    void startPollTimer(unsigned periodMs) override { pollPeriodMs = periodMs; }
    void stopPollTimer() override { pollPeriodMs = 0; }

    void openIrEditor(int, int, const std::wstring& text) override { ir = {true, text}; }
    std::wstring irEditorText() const override { return ir.text; }
    void closeIrEditor() override { ir = {}; }
    void openComboEditor(int, int, ComboEditorStyle style, const Texts& items, const std::wstring& original) override {
        combo = {true, {}, style, items};
        auto it = std::ranges::find(items, original);
        if (style == ComboEditorStyle::EditableDropDown) combo.text = original;
        else if (it != items.end()) pickComboItem(static_cast<int>(it - items.begin()));
    }
    // The editable field is read into a 128-unit buffer, terminator included.
    std::wstring comboEditorChoice() const override {
        if (combo.selection >= 0) return combo.items[static_cast<std::size_t>(combo.selection)];
        return combo.text.substr(0, 127);
    }
    void closeComboEditor() override { combo = {}; }

    std::optional<std::wstring> askSaveFileName() override { return ++saveDialogsShown, nextAnswer(saveAnswers); }
    std::optional<std::wstring> askOpenFileName() override { return ++openDialogsShown, nextAnswer(openAnswers); }

    // Reading back what a user would see; an unknown id throws std::out_of_range.
    bool isEnabled(int id) const { return controls.at(id).enabled; }
    const Texts& comboItems(int id) const { return controls.at(id).items; }
    const Texts& listColumns() const { return columns; }
    Texts listRow(int row) const {  // every column, as listCell reads them
        Texts cells;
        for (int column = 0; column < listColumnCount(); ++column) cells.push_back(listCell(row, column));
        return cells;
    }
    bool pollTimerRunning() const { return pollPeriodMs != 0; }
    unsigned pollTimerPeriodMs() const { return pollPeriodMs; }
    const Editor& irEditor() const { return ir; }
    const Editor& comboEditor() const { return combo; }

    // What a user does inside an open editor.
    void typeIntoIrEditor(const std::wstring& text) {
        if (!ir.open) throw std::logic_error("no IR editor is open");
        ir.text = text;
    }
    void typeIntoComboEditor(const std::wstring& text) {  // an editable combo only; clears the selection
        if (!combo.open || combo.style != ComboEditorStyle::EditableDropDown)
            throw std::logic_error("no editable combo editor is open");
        combo.text = text, combo.selection = -1;
    }
    void pickComboItem(int index) {
        if (!combo.open || index < 0 || index >= static_cast<int>(combo.items.size()))
            throw std::logic_error("no such item in an open combo editor");
        combo.selection = index, combo.text = combo.items[static_cast<std::size_t>(index)];
    }

    // Answers the next file dialogs give, in order; an empty queue or a nullopt answer is a cancelled dialog.
    std::deque<std::optional<std::wstring>> saveAnswers, openAnswers;
    int saveDialogsShown = 0, openDialogsShown = 0;
    Texts statusLog;  // every text the status line was given
    std::function<void(int id)> beforeSetText;  // a test's hook, before a control takes a text

private:
    // A control the window lacks reads as empty, and what is written to it goes nowhere.
    Control& slot(int id) { return controls.contains(id) ? controls.at(id) : (nowhere = {}); }
    const Control& slot(int id) const { return controls.contains(id) ? controls.at(id) : (nowhere = {}); }
    static std::optional<std::wstring> nextAnswer(std::deque<std::optional<std::wstring>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::map<int, Control> controls;
    int tab = 0;
    Texts columns;
    std::vector<Texts> rows;
    unsigned pollPeriodMs = 0;  // 0: not running
    Editor ir, combo;
    mutable Control nowhere{};
};
