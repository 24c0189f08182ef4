#pragma once
// Thin wrapper over a report-style list-view control handle.

#include <windows.h>

#include <commctrl.h>

#include <string>

struct ListView {
    HWND hwnd = nullptr;

    void insertColumn(int index, const std::wstring& title, int width, int format) const {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = index;
        SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
    bool deleteColumn(int index) const { return SendMessageW(hwnd, LVM_DELETECOLUMN, index, 0) != FALSE; }
    void deleteAllItems() const { SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0); }
    int insertRow(int index, const std::wstring& text) const {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        return static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void setCell(int row, int column, const std::wstring& text) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    // At most 99 characters: cells are read with a 100-unit buffer.
    std::wstring cell(int row, int column) const {
        wchar_t buffer[100] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 100;
        SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    int rowCount() const { return static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0)); }
    void setExtendedStyle(DWORD style) const { SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    RECT cellRect(int row, int column) const {
        RECT rect{};
        rect.top = column;
        rect.left = LVIR_BOUNDS;
        SendMessageW(hwnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
};
