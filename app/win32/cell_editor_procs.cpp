#include "app/win32/cell_editor_procs.h"

#include "app/cell_editing.h"
#include "app/safety_net.h"

namespace {

// Both editors' keys: Return commits, Escape cancels; true when handled.
template <typename End>
bool HandleEditorKey(App& app, UINT message, WPARAM key, End end) {
    if (message != WM_KEYDOWN || (key != VK_RETURN && key != VK_ESCAPE)) return false;
    // The safety net here too: an exception must not unwind through the
    // window system's own frames.
    RunGuarded(app, [&] { end(app, key == VK_RETURN); });
    return true;
}

}  // namespace

LRESULT CALLBACK IrEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* app = reinterpret_cast<App*>(data);
    if (!app) return DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_KILLFOCUS) {
        RunGuarded(*app, [&] { EndIrEdit(*app, true); });
        return 0;
    }
    if (HandleEditorKey(*app, message, wParam, EndIrEdit)) return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ComboEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* app = reinterpret_cast<App*>(data);
    if (app && HandleEditorKey(*app, message, wParam, EndComboEdit)) return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
