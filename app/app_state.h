#pragma once
// The state the window's controller works on. The Win32 program owns one App
// for its whole run; each test makes its own.

#include <cstdint>
#include <string>
#include <vector>

#include "app/view.h"
#include "device/module.h"
#include "device/port_info.h"

// The table on show and the bookkeeping of the two in-place cell editors. The
// tables themselves are the module's held configuration.
struct ActionsPage {
    std::uint32_t currentTable = Media;
    bool editBox = false;   // the IR edit box is open
    bool comboBox = false;  // the combo-box editor is open
    int editRow = -1, editColumn = -1;
    std::wstring editOriginal;
    int comboRow = -1, comboColumn = -1;
    std::wstring comboOriginal;
};

struct App {
    explicit App(View& v) : view(v) {}
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    View& view;
    Module module;
    ActionsPage page;
    std::vector<PortInfo> PortList;
    bool pollTimerActive = false;
};
