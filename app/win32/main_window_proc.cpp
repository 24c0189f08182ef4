#include "app/win32/main_window_proc.h"

#include <commctrl.h>

#include <optional>

#include "app/control_events.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/safety_net.h"
#include "app/win32/about_box.h"
#include "app/win32/action_list_proc.h"
#include "app/win32/main_controls.h"
#include "app/win32/program_state.h"

namespace {

LRESULT OnCreate(Program& program, HWND hwnd) {
    program.view.window = hwnd;
    CreateMainControls(program, hwnd);
    return 0;
}

LRESULT OnSize(Program& program, LPARAM lParam) {
    LayoutMainWindow(program, LOWORD(lParam), HIWORD(lParam));
    return 0;
}

// Closes the port without a word to the module: the module keeps whatever it
// was last told.
LRESULT OnDestroy(Program& program) {
    App& app = program.app;
    if (app.pollTimerActive) {
        app.view.stopPollTimer();
        app.pollTimerActive = false;
    }
    if (IsConnected(app.module)) app.module.link.close();
    PostQuitMessage(0);
    return 0;
}

LRESULT OnNotify(Program& program, const NMHDR& header) {
    if (header.idFrom == IDC_ACTIONS_TAB && header.code == TCN_SELCHANGE) {
        HandleTabChange(program.app);
    } else if (header.idFrom == IDC_ACTIONS_LIST && header.code == NM_DBLCLK) {
        const auto& activation = reinterpret_cast<const NMITEMACTIVATE&>(header);
        HandleListDoubleClick(program.app, activation.iItem, activation.iSubItem);
    }
    return 0;
}

// The default-resistance combo boxes count only the user's confirmed choice (CBN_SELENDOK).
std::optional<UiEvent> EventOf(int id, int code) {
    if ((id == IDC_RA_DEFAULT || id == IDC_RB_DEFAULT) && code != CBN_SELENDOK) return std::nullopt;
    return EventOfControl(id);
}

LRESULT OnCommand(Program& program, HWND hwnd, WPARAM wParam) {
    int id = LOWORD(wParam);
    if (id == IDM_HELP_ABOUT) {
        ShowAboutBox(program.instance, hwnd);
    } else if (id == IDM_FILE_EXIT) {
        DestroyWindow(hwnd);
    } else if (const auto event = EventOf(id, HIWORD(wParam))) {
        HandleEvent(program.app, *event);
    }
    return 0;
}

LRESULT OnTimer(Program& program, WPARAM id) {
    if (id == POLL_TIMER_ID) HandleTimer(program.app);
    return 0;
}

// The live values, the status line, the check box and the list keep the
// window colour; labels, group boxes and disabled edit fields let the
// background through.
LRESULT OnCtlColorStatic(HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case IDC_STATUS:
    case IDC_PRESSED_MEDIA:
    case IDC_PRESSED_GEARS:
    case IDC_PRESSED_HORN:
    case IDC_PRESSED_ACC:
    case IDC_CURRENT_BRIGHTNESS:
    case IDC_FULL_REPEAT:
    case IDC_ACTIONS_LIST:
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
}

LRESULT OnMousePress(Program& program) {
    HandleBackgroundPress(program.app, PointerOnComboEditor(program.view));
    return 0;
}

LRESULT Dispatch(Program& program, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(program, hwnd);
    case WM_SIZE: return OnSize(program, lParam);
    case WM_DESTROY: return OnDestroy(program);
    case WM_NOTIFY: return OnNotify(program, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: return OnCommand(program, hwnd, wParam);
    case WM_TIMER: return OnTimer(program, wParam);
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnMousePress(program);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Program& program = *g_program;
    LRESULT result = 0;
    RunGuarded(program.app, [&] { result = Dispatch(program, hwnd, message, wParam, lParam); });
    return result;
}
