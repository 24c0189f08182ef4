#pragma once
// Thin wrapper over a combo-box control handle.

#include <windows.h>

#include <string>

struct ComboBox {
    HWND hwnd = nullptr;

    void reset() const { SendMessageW(hwnd, CB_RESETCONTENT, 0, 0); }
    void add(const std::wstring& text) const {
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void select(int index) const { SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int selection() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)); }
    int findExact(const std::wstring& text) const {
        return static_cast<int>(
            SendMessageW(hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
    }
    int count() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)); }
    std::wstring item(int index) const {
        LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) return {};
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return text;
    }
    void showDropDown(bool show) const { SendMessageW(hwnd, CB_SHOWDROPDOWN, show, 0); }
    // The inner edit field and drop-down list; false when the control will not tell.
    bool info(COMBOBOXINFO& out) const {
        out = {};
        out.cbSize = sizeof(out);
        return GetComboBoxInfo(hwnd, &out) != FALSE;
    }
};
