// Connecting, the live poll and the safety net.
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "app/safety_net.h"
#include "app/status_line.h"
#include "device/port_info.h"
#include "tests/app/app_harness.h"

namespace {

const int kDeviceControls[] = {IDC_SAVE_TO_DEVICE, IDC_LOAD_FROM_DEVICE, IDC_RESET, IDC_IR_SEND, IDC_IR_PERIOD_SET,
                               IDC_MAX_BRIGHTNESS_SET, IDC_FULL_REPEAT, IDC_IR_CODE, IDC_IR_PERIOD, IDC_MAX_BRIGHTNESS,
                               IDC_RA_DEFAULT, IDC_RB_DEFAULT, IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN,
                               IDC_CURRENT_BRIGHTNESS, IDC_PRESSED_ACC, IDC_ACTIONS_PANEL, IDC_ACTIONS_TAB,
                               IDC_ACTIONS_LIST};
const Texts kBlank(5, L"-");

void ExpectDisconnected(const AppHarness& h) {
    EXPECT_FALSE(h.app.module.link.isOpen() || h.app.module.link.connected || h.view.pollTimerRunning());
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Connect");
    for (int id : kDeviceControls) EXPECT_FALSE(h.view.isEnabled(id)) << id;
    for (int id : {IDC_PORT_COMBO, IDC_REFRESH, IDC_CONNECT}) EXPECT_TRUE(h.view.isEnabled(id)) << id;
    EXPECT_EQ(h.displays(), kBlank);
}

// Every line traced on `channel` throws, as a failing output would.
void ThrowOnTrace(TraceChannel channel) {
    SetTraceHandler([=](TraceChannel traced, const std::wstring&) {
        if (traced == channel) throw std::logic_error("trace");
    });
}

TEST(Connection, RefusedConnectsStayDisconnectedAndSendNothing) {
    const std::tuple<const char*, std::function<void(AppHarness&, SerialLink&)>, Texts> rows[] = {
        {"no port", [](auto& h, auto&) { ShowPortList(h.app, {}); }, {L"Found 0 COM port(s).", L"No port selected."}},
        {"none selected", [](auto& h, auto&) { h.view.comboSelect(IDC_PORT_COMBO, -1); }, {L"No port selected."}},
        {"no such port", [](auto& h, auto&) { ShowPortList(h.app, {{"/dev/korvel-no-such-port", "gone"}}); },
         {L"Found 1 COM port(s).", L"Connecting...", L"Disconnected.", L"Connection failed."}},
        {"in use", [](auto& h, auto& other) { ASSERT_TRUE(other.open(h.module.portPath())); },
         {L"Connecting...", L"Disconnected.", L"Connection failed."}},
        {"the open's trace throws", [](auto&, auto&) { ThrowOnTrace(TraceChannel::Console); },
         {L"Connecting...", L"Disconnected.", L"Connection failed."}},
    };
    for (const auto& [name, setUp, log] : rows) {  // the status texts from the set-up on
        SCOPED_TRACE(name);
        AppHarness h;
        SerialLink other;
        other.timeouts.settleMs = 0;
        h.view.statusLog.clear();
        setUp(h, other);
        HandleEvent(h.app, UiEvent::Connect);
        EXPECT_EQ(h.view.statusLog, log);
        ExpectDisconnected(h);
        EXPECT_EQ(h.module.exchangeCount(), 0u);
    }
}

TEST(Connection, StartUpCountsThePortsConnectSyncsThenPollsAndDisconnectSendsNothing) {
    AppHarness h;  // its own port is listed after start-up
    EXPECT_EQ(h.view.statusLog.end()[-2], L"Found " + std::to_wstring(listSerialPorts().size()) + L" COM port(s).");
    ExpectDisconnected(h);
    ShowPortList(h.app, {{h.module.portPath(), "Korvel virtual module"}, {"/dev/ttyS0", "ttyS0 (/dev/ttyS0)"}});
    EXPECT_EQ(h.status(), L"Found 2 COM port(s).");
    EXPECT_EQ(h.view.comboItems(IDC_PORT_COMBO), (Texts{L"Korvel virtual module", L"ttyS0 (/dev/ttyS0)"}));
    h.view.statusLog.clear();
    HandleEvent(h.app, UiEvent::Connect);  // the first port is selected
    EXPECT_EQ(h.view.statusLog.front(), L"Connecting...");
    EXPECT_EQ(h.view.statusLog.back(), L"Connected. Live polling at 5 Hz.");
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Disconnect");
    for (int id : kDeviceControls) EXPECT_TRUE(h.view.isEnabled(id)) << id;
    EXPECT_EQ(h.view.pollTimerPeriodMs() * 5, 1000u);  // the rate the status line names
    // Max brightness, full repeat, default resistance, IR period, then the Media table.
    EXPECT_EQ(h.requests(), (Requests{{8}, {17}, {20}, {18}, {0}}));
    EXPECT_EQ(h.view.listRowCount(), static_cast<int>(h.module.config().media.size()));
    EXPECT_EQ(h.displays(), kBlank);  // until the first tick

    HandleEvent(h.app, UiEvent::Refresh);  // leaves the open port alone
    EXPECT_TRUE(h.app.module.link.connected);
    h.module.clearExchanges();
    HandleEvent(h.app, UiEvent::Connect);
    EXPECT_EQ(h.status(), L"Disconnected.");
    ExpectDisconnected(h);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

// A short reply writes no display, and polling goes on.
TEST(Poll, ShowsTheRawCodesAndTheBrightnessOnTicksWhileConnected) {
    const Texts kCodes{L"0xFF", L"0xAB", L"0x30", L"0xFFFF", L"255"};
    const std::tuple<PressedButtons, std::uint8_t, Fault, Requests, Texts> rows[] = {
        {{0, 0, 0, 0}, 0, {}, {{2}, {3}}, {L"0x00", L"0x00", L"0x00", L"0x0000", L"0"}},
        {{0xFF, 0xAB, 0x30, 0xFFFF}, 255, {}, {{2}, {3}}, kCodes},
        {{1, 2, 3, 4}, 9, {.command = cmd::getPressedButtons, .afterBytes = 4}, {{2}}, kCodes},
        {{1, 2, 3, 4}, 9, {.command = cmd::getCurrentBrightness}, {{2}, {3}}, kCodes},
        {{0x0A, 0x1C, 0x01, 0x0201}, 77, {}, {{2}, {3}}, {L"0x0A", L"0x1C", L"0x01", L"0x0201", L"77"}},
    };
    AppHarness h;
    h.view.statusLog.clear();
    HandleTimer(h.app);  // not connected: no poll, and no word of one
    EXPECT_EQ(std::tuple(h.view.statusLog.size(), h.displays()), std::tuple(0u, kBlank));
    h.connect();
    for (const auto& [pressed, brightness, fault, requests, shown] : rows) {
        SetStatusText(h.app, L"Earlier message.");
        h.module.clearExchanges();
        h.module.setPressed(pressed, brightness);
        if (fault.command >= 0) h.module.addFault(fault);
        HandleTimer(h.app);
        EXPECT_EQ(h.displays(), shown);
        EXPECT_EQ(h.requests(), requests);
        const bool cut = fault.command >= 0;
        EXPECT_EQ(h.status(), cut ? L"Protocol error occured: Fewer bytes than expected." : L"Earlier message.");
        EXPECT_TRUE(h.view.pollTimerRunning());
    }
}

TEST(Poll, AHangUpDisconnectsThroughTheSafetyNet) {
    for (bool beforeRequest : {false, true}) {
        AppHarness h;
        h.connect();
        HandleTimer(h.app);  // the displays now show codes
        if (beforeRequest) {
            h.module.hangUpAfter(0);
            ASSERT_TRUE(h.module.waitForHangUp(1000));
        } else {
            h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::getPressedButtons});
        }
        HandleTimer(h.app);
        EXPECT_EQ(h.status(), beforeRequest ? L"Serial error occured: Write failed."
                                            : L"Serial error occured: Read failed.");
        ExpectDisconnected(h);
    }
}

// What a handler throws; the poll's failed exchanges reach the net as the Poll tests show.
TEST(SafetyNet, TurnsEveryFailureItSeesIntoOneStatusTextAndOnlySerialOnesDisconnect) {
    auto raise = [](auto thrown) { return [=](App& app) { RunGuarded(app, [&] { throw thrown; }); }; };
    const std::pair<std::function<void(App&)>, std::wstring> rows[] = {
        {raise(SerialError("")), L"Serial error occured: Unknown exception"},
        {raise(std::runtime_error("out of range")), L"Runtime error occured: out of range"},
        {raise(std::runtime_error("")), L"Runtime error occured: Unknown exception"},
        {raise(std::runtime_error("caf\xE9")), L"Runtime error occured: caf\u00E9"},
        {raise(std::logic_error("not a runtime error")), L"An unknown error occured"},
        {raise(42), L"An unknown error occured"},
    };
    for (const auto& [fail, text] : rows) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        AppHarness h;
        h.connect();
        fail(h.app);
        EXPECT_EQ(h.status(), text);
        const bool serial = text.starts_with(L"Serial");
        EXPECT_EQ(h.app.module.link.connected, !serial);
        EXPECT_EQ(h.view.getText(IDC_CONNECT), serial ? L"Connect" : L"Disconnect");
        EXPECT_EQ(h.view.isEnabled(IDC_ACTIONS_LIST), !serial);
    }
}

// An exception that is neither the link's nor the protocol's: while an operation the window guards runs, it shows
// that operation's own text and connecting goes on (an open counts it as a failed open: see the refused connects);
// anywhere else it ends at the safety net, and the line stays.
TEST(SafetyNet, AnyOtherExceptionEndsAtTheGuardOfItsOperationOrAtTheNet) {
    AppHarness h;
    ThrowOnTrace(TraceChannel::Debugger);
    h.view.statusLog.clear();
    HandleEvent(h.app, UiEvent::Connect);
    EXPECT_EQ(h.view.statusLog, (Texts{L"Connecting...", L"Max brightness loaded.", L"Full repeat loaded.",
                                       L"SyncDefaultResistance failed (exception).", L"IR repeat period loaded.",
                                       L"Media actions loaded.", L"Connected. Live polling at 5 Hz."}));
    h.module.clearExchanges();
    h.view.beforeSetText = [](int id) {
        if (id == IDC_PRESSED_MEDIA) throw std::runtime_error("display");
    };
    HandleTimer(h.app);
    EXPECT_EQ(h.status(), L"Runtime error occured: display");
    EXPECT_TRUE(h.app.module.link.connected);
    EXPECT_EQ(h.requests(), (Requests{{2}, {3}}));
}

}  // namespace
