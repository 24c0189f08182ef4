#include "app/win32/win32_view.h"

#include "app/resource_ids.h"
#include "app/win32/cell_editor_procs.h"
#include "app/win32/combo_box.h"
#include "app/win32/file_dialogs.h"
#include "app/win32/list_view.h"
#include "app/win32/tab_control.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

ComboBox Combo(const Win32View& view, int id) { return {view.control(id)}; }

// A child of the list view over the cell, inset by one pixel on every side.
HWND CreateCellEditor(HWND list, const wchar_t* className, DWORD style, const RECT& cell, int height) {
    HWND editor = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, cell.left + 1, cell.top + 1,
                                  cell.right - cell.left - 2, height, list, nullptr,
                                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
    SendMessageW(editor, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), TRUE);
    return editor;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got));
    return text;
}

HWND Win32View::control(int id) const { return window ? GetDlgItem(window, id) : nullptr; }
HWND Win32View::list() const { return control(IDC_ACTIONS_LIST); }

bool Win32View::hasControl(int id) const { return control(id) != nullptr; }

void Win32View::setText(int id, const std::wstring& text) {
    if (HWND hwnd = control(id)) SetWindowTextW(hwnd, text.c_str());
}

std::wstring Win32View::getText(int id) const {
    HWND hwnd = control(id);
    return hwnd ? WindowText(hwnd) : std::wstring();
}

void Win32View::setChecked(int id, bool checked) {
    if (HWND hwnd = control(id)) SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32View::isChecked(int id) const {
    HWND hwnd = control(id);
    return hwnd && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32View::enable(int id, bool enabled) {
    if (HWND hwnd = control(id)) EnableWindow(hwnd, enabled);
}

void Win32View::comboReset(int id) {
    if (hasControl(id)) Combo(*this, id).reset();
}

void Win32View::comboAdd(int id, const std::wstring& text) {
    if (hasControl(id)) Combo(*this, id).add(text);
}

void Win32View::comboSelect(int id, int index) {
    if (hasControl(id)) Combo(*this, id).select(index);
}

int Win32View::comboFindExact(int id, const std::wstring& text) const {
    return hasControl(id) ? Combo(*this, id).findExact(text) : -1;
}

int Win32View::comboSelection(int id) const { return hasControl(id) ? Combo(*this, id).selection() : -1; }

int Win32View::tabSelection() const {
    HWND tab = control(IDC_ACTIONS_TAB);
    return tab ? TabControl{tab}.selection() : -1;
}

void Win32View::tabSelect(int index) {
    if (HWND tab = control(IDC_ACTIONS_TAB)) TabControl{tab}.select(index);
}

bool Win32View::hasList() const { return list() != nullptr; }

void Win32View::listDeleteAllItems() {
    if (HWND hwnd = list()) ListView{hwnd}.deleteAllItems();
}

bool Win32View::listDeleteFirstColumn() {
    HWND hwnd = list();
    return hwnd && ListView{hwnd}.deleteColumn(0);
}

void Win32View::listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) {
    if (HWND hwnd = list())
        ListView{hwnd}.insertColumn(index, title, width, align == ColumnAlign::Centre ? LVCFMT_CENTER : LVCFMT_LEFT);
}

int Win32View::listInsertRow(int index, const std::wstring& text) {
    HWND hwnd = list();
    return hwnd ? ListView{hwnd}.insertRow(index, text) : -1;
}

void Win32View::listSetCell(int row, int column, const std::wstring& text) {
    if (HWND hwnd = list()) ListView{hwnd}.setCell(row, column, text);
}

std::wstring Win32View::listCell(int row, int column) const {
    HWND hwnd = list();
    return hwnd ? ListView{hwnd}.cell(row, column) : std::wstring();
}

int Win32View::listRowCount() const {
    HWND hwnd = list();
    return hwnd ? ListView{hwnd}.rowCount() : 0;
}

void Win32View::startPollTimer(unsigned periodMs) { SetTimer(window, POLL_TIMER_ID, periodMs, nullptr); }
void Win32View::stopPollTimer() { KillTimer(window, POLL_TIMER_ID); }

void Win32View::openIrEditor(int row, int column, const std::wstring& text) {
    HWND hwnd = list();
    if (!hwnd) return;
    closeIrEditor();
    RECT cell = ListView{hwnd}.cellRect(row, column);
    editBox = CreateCellEditor(hwnd, L"EDIT", ES_AUTOHSCROLL, cell, cell.bottom - cell.top - 2);
    SetWindowTextW(editBox, text.c_str());
    SetWindowSubclass(editBox, IrEditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(app));
    SetFocus(editBox);
    SendMessageW(editBox, EM_SETSEL, 0, -1);
}

std::wstring Win32View::irEditorText() const { return editBox ? WindowText(editBox) : std::wstring(); }

void Win32View::closeIrEditor() {
    if (!editBox) return;
    // The subclass goes first: destroying a focused edit box sends it a
    // kill-focus, which must not commit a second time.
    HWND closing = editBox;
    editBox = nullptr;
    RemoveWindowSubclass(closing, IrEditProc, kSubclassId);
    DestroyWindow(closing);
}

void Win32View::openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                                const std::wstring& original) {
    HWND hwnd = list();
    if (!hwnd) return;
    closeComboEditor();
    RECT cell = ListView{hwnd}.cellRect(row, column);
    bool editable = style == ComboEditorStyle::EditableDropDown;
    comboBox = CreateCellEditor(hwnd, L"ComboBox", WS_VSCROLL | (editable ? CBS_DROPDOWN : CBS_DROPDOWNLIST), cell,
                                200);
    ComboBox combo{comboBox};
    for (const std::wstring& item : items) combo.add(item);
    if (editable) {
        SetWindowTextW(comboBox, original.c_str());
    } else if (int found = combo.findExact(original); found >= 0) {
        combo.select(found);
    }
    SetWindowSubclass(comboBox, ComboEditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(app));
    COMBOBOXINFO parts;
    if (editable && combo.info(parts) && parts.hwndItem) {
        comboEdit = parts.hwndItem;
        SetWindowSubclass(comboEdit, ComboEditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(app));
    }
    SetFocus(comboBox);
    if (!editable) combo.showDropDown(true);
}

std::wstring Win32View::comboEditorChoice() const {
    if (!comboBox) return {};
    ComboBox combo{comboBox};
    int selected = combo.selection();
    if (selected >= 0) return combo.item(selected);
    wchar_t text[128] = {};
    GetWindowTextW(comboBox, text, 128);
    return text;
}

void Win32View::closeComboEditor() {
    if (!comboBox) return;
    HWND closing = comboBox;
    comboBox = nullptr;
    if (comboEdit) RemoveWindowSubclass(comboEdit, ComboEditProc, kSubclassId);
    comboEdit = nullptr;
    RemoveWindowSubclass(closing, ComboEditProc, kSubclassId);
    DestroyWindow(closing);
}

std::optional<std::wstring> Win32View::askSaveFileName() { return AskConfigFileName(window, true); }
std::optional<std::wstring> Win32View::askOpenFileName() { return AskConfigFileName(window, false); }
