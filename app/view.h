#pragma once
// The seam between the window's controller and the window: everything the
// controller reads from or shows on the main window goes through this
// interface. The Win32 program implements it with real controls
// (app/win32/win32_view.*), the tests in memory.

#include <optional>
#include <string>
#include <vector>

enum class ColumnAlign { Left, Centre };
enum class ComboEditorStyle { EditableDropDown, DropDownList };

class View {
public:
    virtual ~View() = default;

    // Controls by id. Operations on a control that does not exist are skipped.
    virtual bool hasControl(int id) const = 0;
    virtual void setText(int id, const std::wstring& text) = 0;
    virtual std::wstring getText(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void enable(int id, bool enabled) = 0;

    // Combo boxes (port list, RA and RB defaults).
    virtual void comboReset(int id) = 0;
    virtual void comboAdd(int id, const std::wstring& text) = 0;
    virtual void comboSelect(int id, int index) = 0;           // -1 clears
    virtual int comboFindExact(int id, const std::wstring& text) const = 0;  // -1 when none
    virtual int comboSelection(int id) const = 0;               // -1 when none

    // The tab control's selection (negative when none).
    virtual int tabSelection() const = 0;
    virtual void tabSelect(int index) = 0;

    // The actions list view. Cell texts are read with a 100-unit buffer, so at
    // most 99 characters come back.
    virtual bool hasList() const = 0;
    virtual void listDeleteAllItems() = 0;
    virtual bool listDeleteFirstColumn() = 0;  // false when there is none left
    virtual void listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) = 0;
    virtual int listInsertRow(int index, const std::wstring& text) = 0;  // the position used
    virtual void listSetCell(int row, int column, const std::wstring& text) = 0;
    virtual std::wstring listCell(int row, int column) const = 0;
    virtual int listRowCount() const = 0;

    // The poll timer (id 1), ticking every `periodMs`.
    virtual void startPollTimer(unsigned periodMs) = 0;
    virtual void stopPollTimer() = 0;

    // The two in-place cell editors over a list-view cell.
    virtual void openIrEditor(int row, int column, const std::wstring& text) = 0;
    virtual std::wstring irEditorText() const = 0;
    virtual void closeIrEditor() = 0;
    virtual void openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                                 const std::wstring& original) = 0;
    // The selected item's text when one is selected, else the editor's own text.
    virtual std::wstring comboEditorChoice() const = 0;
    virtual void closeComboEditor() = 0;

    // File dialogs; nothing when the user cancels.
    virtual std::optional<std::wstring> askSaveFileName() = 0;
    virtual std::optional<std::wstring> askOpenFileName() = 0;
};
