// The page's entry points: the window's controller over the page's view. The
// page calls one of these at a time and waits until it has returned before
// the next (page/event_queue.js), as the window's message loop hands its
// procedure one message at a time; a call that waits for the port is
// suspended meanwhile, and so is the caller's promise.
#include <string>

#include <emscripten.h>
#include <emscripten/console.h>

#include "app/cell_editing.h"
#include "app/control_events.h"
#include "app/main_window.h"
#include "app/safety_net.h"
#include "device/text.h"
#include "device/trace.h"
#include "web/web_view.h"

namespace {

WebView g_view;
App g_app{g_view};

}  // namespace

extern "C" {

// Makes the controls and fills them as the window does when it is created.
EMSCRIPTEN_KEEPALIVE void korvel_start() {
    // The lines the window writes for a debugger go to the browser's console.
    SetTraceHandler([](TraceChannel, const std::wstring& text) {
        std::string line = ToUtf8(text);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        emscripten_console_log(line.c_str());
    });
    g_view.build();
    InitialiseMainControls(g_app);
}

// A button, the check box, a default-resistance choice or a File command, by the window's id.
EMSCRIPTEN_KEEPALIVE void korvel_command(int id) {
    const auto event = EventOfControl(id);
    if (!event) return;
    HandleEvent(g_app, *event);
    g_view.deliverSavedFile();
}

EMSCRIPTEN_KEEPALIVE void korvel_timer() { HandleTimer(g_app); }

EMSCRIPTEN_KEEPALIVE void korvel_tab_change() { HandleTabChange(g_app); }

EMSCRIPTEN_KEEPALIVE void korvel_double_click(int row, int column) { HandleListDoubleClick(g_app, row, column); }

EMSCRIPTEN_KEEPALIVE void korvel_background_press(int onComboEditor) {
    HandleBackgroundPress(g_app, onComboEditor != 0);
}

// The cell editors' own keys, focus loss and choices.
EMSCRIPTEN_KEEPALIVE void korvel_end_ir_edit(int commit) {
    RunGuarded(g_app, [&] { EndIrEdit(g_app, commit != 0); });
}

EMSCRIPTEN_KEEPALIVE void korvel_end_combo_edit(int commit) {
    RunGuarded(g_app, [&] { EndComboEdit(g_app, commit != 0); });
}
}
