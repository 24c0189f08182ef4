#include "app/win32/action_list_proc.h"

#include "app/cell_editing.h"
#include "app/safety_net.h"
#include "app/win32/combo_box.h"
#include "app/win32/win32_view.h"

namespace {

bool IsMousePress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

}  // namespace

bool PointerOnComboEditor(const Win32View& view) {
    POINT pointer{};
    COMBOBOXINFO parts;
    if (!GetCursorPos(&pointer) || !ComboBox{view.comboBox}.info(parts)) return false;
    HWND under = WindowFromPoint(pointer);
    return under == view.comboBox || under == parts.hwndItem || under == parts.hwndList;
}

LRESULT CALLBACK ActionListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* app = reinterpret_cast<App*>(data);
    if (!app) return DefSubclassProc(hwnd, message, wParam, lParam);
    auto& view = static_cast<Win32View&>(app->view);
    if (message == WM_COMMAND && view.comboBox && reinterpret_cast<HWND>(lParam) == view.comboBox &&
        (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == CBN_SELENDOK)) {
        RunGuarded(*app, [&] { EndComboEdit(*app, true); });
        return 0;
    }
    if (IsMousePress(message)) {
        bool onCombo = view.comboBox && PointerOnComboEditor(view);
        RunGuarded(*app, [&] { CommitOpenEditors(*app, onCombo); });
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
