#pragma once
// Thin wrapper over a tab control handle.

#include <windows.h>

#include <commctrl.h>

struct TabControl {
    HWND hwnd = nullptr;

    int selection() const { return static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0)); }
    void select(int index) const { SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }
};
