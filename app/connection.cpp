#include "app/connection.h"

#include <string>

#include "actions/cell_text.h"
#include "app/resource_ids.h"
#include "device/protocol.h"
#include "settings/sync.h"

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

void stopPollTimer(App& app) {
    if (!app.pollTimerActive) return;
    app.view.stopPollTimer();
    app.pollTimerActive = false;
}

// Every failure of the open counts the same: the user learns only that it failed.
bool openSelectedPort(App& app, std::size_t index) {
    try {
        std::string port = app.PortList[index].port;
        return app.link.open(port);
    } catch (...) {
        return false;
    }
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
    if (app.link.connected) {
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
    if (!openSelectedPort(app, static_cast<std::size_t>(selection))) {
        app.link.connected = false;
        EnableDeviceControls(app, false);
        SetStatusText(app, kConnectionFailedText);
        return;
    }
    app.link.connected = true;
    app.view.setText(IDC_CONNECT, L"Disconnect");
    EnableDeviceControls(app, true);
    SyncAllFromModule(app);
    SetStatusText(app, L"Connected. Live polling at 5 Hz.");
    if (!app.pollTimerActive) {
        app.view.startPollTimer();
        app.pollTimerActive = true;
    }
}

void Disconnect(App& app) {
    stopPollTimer(app);
    app.link.close();
    app.view.setText(IDC_CONNECT, L"Connect");
    EnableDeviceControls(app, false);
}

void PollPressedButtons(App& app) {
    // Both exchanges first: a poll that fails half-way writes no display.
    const PressedButtons pressed = getPressedButtons(app.link);
    const std::uint8_t brightness = getCurrentBrightness(app.link);
    app.view.setText(IDC_PRESSED_MEDIA, FormatHex8(pressed.media));
    app.view.setText(IDC_PRESSED_GEARS, FormatHex8(pressed.gears));
    app.view.setText(IDC_PRESSED_HORN, FormatHex8(pressed.horn));
    app.view.setText(IDC_PRESSED_ACC, FormatHex16(pressed.acc));
    app.view.setText(IDC_CURRENT_BRIGHTNESS, std::to_wstring(brightness));
}

void EnableDeviceControls(App& app, bool enable) {
    for (int id : kDeviceControls) app.view.enable(id, enable);
    if (enable) return;
    stopPollTimer(app);
    for (int id : kLiveDisplays) app.view.setText(id, L"-");
    SetStatusText(app, L"Disconnected.");
}
