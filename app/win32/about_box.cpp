#include "app/win32/about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/resource_ids.h"

void ShowAboutBox(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        auto* link = reinterpret_cast<NMLINK*>(lParam);
        if (link->hdr.idFrom != IDC_ABOUT_LINK || (link->hdr.code != NM_CLICK && link->hdr.code != NM_RETURN))
            return FALSE;
        ShellExecuteW(nullptr, L"open", link->item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
