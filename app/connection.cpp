#include "app/connection.h"

#include <string>

#include "app/resource_ids.h"
#include "app/settings_panel.h"
#include "app/status_line.h"
#include "settings/live_values.h"
#include "vocabulary/cell_text.h"

namespace {

// The controls that only make sense with a module on the line. The port combo
// box, "Refresh" and "Connect" stay usable in every state.
constexpr int kDeviceControls[] = {
    IDC_SAVE_TO_DEVICE, IDC_LOAD_FROM_DEVICE, IDC_RESET, IDC_IR_SEND, IDC_IR_PERIOD_SET, IDC_MAX_BRIGHTNESS_SET,
    IDC_FULL_REPEAT,
    IDC_IR_CODE, IDC_IR_PERIOD, IDC_MAX_BRIGHTNESS,
    IDC_RA_DEFAULT, IDC_RB_DEFAULT,
    IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_CURRENT_BRIGHTNESS, IDC_PRESSED_ACC,
    IDC_ACTIONS_PANEL, IDC_ACTIONS_TAB, IDC_ACTIONS_LIST,
};

constexpr int kLiveDisplays[] = {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                                 IDC_CURRENT_BRIGHTNESS};

void StopPollTimer(App& app) {
    if (!app.pollTimerActive) return;
    app.view.stopPollTimer();
    app.pollTimerActive = false;
}

}  // namespace

void RefreshPortList(App& app) {
    if (!app.view.hasControl(IDC_PORT_COMBO)) return;
    ShowPortList(app, listSerialPorts());
}

void ShowPortList(App& app, std::vector<PortInfo> ports) {
    if (!app.view.hasControl(IDC_PORT_COMBO)) return;
    app.view.comboReset(IDC_PORT_COMBO);
    app.PortList = std::move(ports);
    for (const auto& port : app.PortList) app.view.comboAdd(IDC_PORT_COMBO, toWide(port.friendlyName));
    if (!app.PortList.empty()) app.view.comboSelect(IDC_PORT_COMBO, 0);
    SetStatusText(app, L"Found " + std::to_wstring(app.PortList.size()) + L" COM port(s).");
}

void ToggleConnection(App& app) {
    if (IsConnected(app.module)) {
        Disconnect(app);
        SetStatusText(app, L"Disconnected.");
        return;
    }
    const int selection = app.view.comboSelection(IDC_PORT_COMBO);
    if (selection < 0 || static_cast<std::size_t>(selection) >= app.PortList.size()) {
        SetStatusText(app, L"No port selected.");
        return;
    }
    SetStatusText(app, L"Connecting...");
    const Outcome connected = Connect(app.module, app.PortList[static_cast<std::size_t>(selection)].port);
    if (!Succeeded(connected)) {
        EnableDeviceControls(app, false);
        Report(app, connected);
        return;
    }
    app.view.setText(IDC_CONNECT, L"Disconnect");
    EnableDeviceControls(app, true);
    SyncAllFromModule(app);
    // The timer ticks at the rate the status line names.
    SetStatusText(app, L"Connected. Live polling at " + std::to_wstring(kPollRateHz) + L" Hz.");
    if (!app.pollTimerActive) {
        app.view.startPollTimer(kPollIntervalMs);
        app.pollTimerActive = true;
    }
}

void Disconnect(App& app) {
    StopPollTimer(app);
    app.module.link.close();
    app.view.setText(IDC_CONNECT, L"Connect");
    EnableDeviceControls(app, false);
}

void PollPressedButtons(App& app) {
    LiveValues live;
    const Outcome polled = PollLiveValues(app.module, live);
    Report(app, polled);
    if (!Succeeded(polled)) return;
    app.view.setText(IDC_PRESSED_MEDIA, FormatHex8(live.pressed.media));
    app.view.setText(IDC_PRESSED_GEARS, FormatHex8(live.pressed.gears));
    app.view.setText(IDC_PRESSED_HORN, FormatHex8(live.pressed.horn));
    app.view.setText(IDC_PRESSED_ACC, FormatHex16(live.pressed.acc));
    app.view.setText(IDC_CURRENT_BRIGHTNESS, std::to_wstring(live.brightness));
}

void EnableDeviceControls(App& app, bool enable) {
    for (int id : kDeviceControls) app.view.enable(id, enable);
    if (enable) return;
    StopPollTimer(app);
    for (int id : kLiveDisplays) app.view.setText(id, L"-");
    SetStatusText(app, L"Disconnected.");
}
