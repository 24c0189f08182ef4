#pragma once
// The view seam over the real main window: every control is found by its id
// among the main window's children; the cell editors are child windows of the
// list view.

#include <windows.h>

#include "app/view.h"

struct App;

class Win32View : public View {
public:
    HWND window = nullptr;     // the main window, set when it is being created
    App* app = nullptr;        // reference data of the editors' subclass procedures
    HWND editBox = nullptr;    // the open IR cell editor
    HWND comboBox = nullptr;   // the open combo cell editor
    HWND comboEdit = nullptr;  // its inner edit field (editable drop-down only)

    HWND control(int id) const;
    HWND list() const;

    bool hasControl(int id) const override;
    void setText(int id, const std::wstring& text) override;
    std::wstring getText(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void enable(int id, bool enabled) override;

    void comboReset(int id) override;
    void comboAdd(int id, const std::wstring& text) override;
    void comboSelect(int id, int index) override;
    int comboFindExact(int id, const std::wstring& text) const override;
    int comboSelection(int id) const override;

    int tabSelection() const override;
    void tabSelect(int index) override;

    bool hasList() const override;
    void listDeleteAllItems() override;
    bool listDeleteFirstColumn() override;
    void listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) override;
    int listInsertRow(int index, const std::wstring& text) override;
    void listSetCell(int row, int column, const std::wstring& text) override;
    std::wstring listCell(int row, int column) const override;
    int listRowCount() const override;

    void startPollTimer(unsigned periodMs) override;
    void stopPollTimer() override;

    void openIrEditor(int row, int column, const std::wstring& text) override;
    std::wstring irEditorText() const override;
    void closeIrEditor() override;
    void openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                         const std::wstring& original) override;
    std::wstring comboEditorChoice() const override;
    void closeComboEditor() override;

    std::optional<std::wstring> askSaveFileName() override;
    std::optional<std::wstring> askOpenFileName() override;
};

// The whole text of a window.
std::wstring WindowText(HWND hwnd);
