#include "tests/app/memory_view.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The window system reads list-view cells into a 100-unit buffer and the
// editable combo's text into a 128-unit one, terminator included.
constexpr std::size_t kCellReadLimit = 99;
constexpr std::size_t kComboTextLimit = 127;
constexpr int kTabCount = 4;

bool isCombo(ControlKind kind) { return kind == ControlKind::DropDownList; }

std::optional<std::wstring> nextAnswer(std::deque<std::optional<std::wstring>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

MemoryView::MemoryView() {
    for (const auto& spec : kMainControls)
        if (spec.id != 0) controls.emplace(spec.id, Control{spec.kind, spec.text});
}

MemoryView::Control* MemoryView::find(int id) {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
}

const MemoryView::Control* MemoryView::find(int id) const {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
}

const MemoryView::Control& MemoryView::control(int id) const {
    if (const Control* c = find(id)) return *c;
    throw std::out_of_range("no control with id " + std::to_string(id));
}

bool MemoryView::hasControl(int id) const { return find(id) != nullptr; }

void MemoryView::setText(int id, const std::wstring& text) {
    if (Control* c = find(id); c && !isCombo(c->kind)) c->text = text;
}

std::wstring MemoryView::getText(int id) const {
    const Control* c = find(id);
    if (!c) return {};
    if (isCombo(c->kind)) return c->selection >= 0 ? c->items[static_cast<std::size_t>(c->selection)] : L"";
    return c->text;
}

void MemoryView::setChecked(int id, bool checked) {
    if (Control* c = find(id)) c->checked = checked;
}

bool MemoryView::isChecked(int id) const {
    const Control* c = find(id);
    return c && c->checked;
}

void MemoryView::enable(int id, bool enabled) {
    if (Control* c = find(id)) c->enabled = enabled;
}

void MemoryView::comboReset(int id) {
    if (Control* c = find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

void MemoryView::comboAdd(int id, const std::wstring& text) {
    if (Control* c = find(id)) c->items.push_back(text);
}

void MemoryView::comboSelect(int id, int index) {
    // An index outside the items clears the selection, as CB_SETCURSEL does.
    if (Control* c = find(id)) c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

int MemoryView::comboFindExact(int id, const std::wstring& text) const {
    const Control* c = find(id);
    if (!c) return -1;
    auto it = std::find(c->items.begin(), c->items.end(), text);
    return it == c->items.end() ? -1 : static_cast<int>(it - c->items.begin());
}

int MemoryView::comboSelection(int id) const {
    const Control* c = find(id);
    return c ? c->selection : -1;
}

void MemoryView::tabSelect(int index) {
    // -1 deselects every tab; other indexes outside the four tabs are refused.
    if (index >= -1 && index < kTabCount) tab = index;
}

bool MemoryView::listDeleteFirstColumn() {
    if (columns.empty()) return false;
    columns.erase(columns.begin());
    for (auto& row : rows)
        if (!row.empty()) row.erase(row.begin());
    return true;
}

void MemoryView::listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) {
    auto at = std::clamp(index, 0, static_cast<int>(columns.size()));
    columns.insert(columns.begin() + at, Column{title, width, align});
}

int MemoryView::listInsertRow(int index, const std::wstring& text) {
    auto at = std::clamp(index, 0, listRowCount());
    rows.insert(rows.begin() + at, std::vector<std::wstring>{text});
    return at;
}

void MemoryView::listSetCell(int row, int column, const std::wstring& text) {
    const int columnCount = std::max(1, static_cast<int>(columns.size()));
    if (row < 0 || row >= listRowCount() || column < 0 || column >= columnCount) return;
    auto& cells = rows[static_cast<std::size_t>(row)];
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = text;
}

std::wstring MemoryView::listCell(int row, int column) const {
    if (row < 0 || row >= listRowCount() || column < 0) return {};
    const auto& cells = rows[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(column) >= cells.size()) return {};
    return cells[static_cast<std::size_t>(column)].substr(0, kCellReadLimit);
}

std::vector<std::wstring> MemoryView::listRow(int row) const {
    std::vector<std::wstring> cells;
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) cells.push_back(listCell(row, column));
    return cells;
}

void MemoryView::openIrEditor(int row, int column, const std::wstring& text) { ir = IrEditor{true, row, column, text}; }

void MemoryView::openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                                 const std::wstring& original) {
    combo = ComboEditor{true, row, column, style, items, {}, -1};
    if (style == ComboEditorStyle::EditableDropDown) {
        combo.text = original;
    } else {
        auto it = std::find(items.begin(), items.end(), original);
        if (it != items.end()) pickComboItem(static_cast<int>(it - items.begin()));
    }
}

std::wstring MemoryView::comboEditorChoice() const {
    if (combo.selection >= 0) return combo.items[static_cast<std::size_t>(combo.selection)];
    return combo.text.substr(0, kComboTextLimit);
}

void MemoryView::typeIntoIrEditor(const std::wstring& text) {
    if (!ir.open) throw std::logic_error("no IR editor is open");
    ir.text = text;
}

void MemoryView::typeIntoComboEditor(const std::wstring& text) {
    if (!combo.open || combo.style != ComboEditorStyle::EditableDropDown)
        throw std::logic_error("no editable combo editor is open");
    combo.text = text;
    combo.selection = -1;
}

void MemoryView::pickComboItem(int index) {
    if (!combo.open || index < 0 || index >= static_cast<int>(combo.items.size()))
        throw std::logic_error("no such item in an open combo editor");
    combo.selection = index;
    combo.text = combo.items[static_cast<std::size_t>(index)];
}

std::optional<std::wstring> MemoryView::askSaveFileName() {
    ++saveDialogsShown;
    return nextAnswer(saveAnswers);
}

std::optional<std::wstring> MemoryView::askOpenFileName() {
    ++openDialogsShown;
    return nextAnswer(openAnswers);
}
