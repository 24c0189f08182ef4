#pragma once
// The process-wide state every handler borrows. The Win32 program owns one for
// its whole run; tests and korvelctl make a fresh one each.

#include <vector>

#include "actions/actions_page.h"
#include "app/view.h"
#include "device/port_info.h"
#include "device/serial_link.h"
#include "settings/held_settings.h"

struct App {
    explicit App(View& v) : view(v), page(link) {}
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    View& view;
    SerialLink link;
    ActionsPage page;
    HeldSettings held;
    std::vector<PortInfo> PortList;
    bool pollTimerActive = false;
};

// Replaces the whole text of the status line.
void SetStatusText(App& app, const std::wstring& text);
