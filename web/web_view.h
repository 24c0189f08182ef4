#pragma once
// The view seam over the page: every control is an element of the page, made
// from the window's layout table, and every call goes to the page's own
// script (page/view.js) as Module.view. Texts cross as UTF-8.

#include "app/view.h"

class WebView : public View {
public:
    // Makes the page's controls: the window's groups in their order, each with
    // the controls inside it, every label tied to the control it names, the
    // four tabs.
    void build();
    // After File > Save...: hands the file just written to the browser, to the
    // place the user chose or as a download.
    void deliverSavedFile();

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

private:
    bool saveAsked = false;  // a file to save has been asked for and not yet handed over
};
