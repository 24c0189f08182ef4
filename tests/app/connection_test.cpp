#include "app/connection.h"

#include <gtest/gtest.h>

#include "device/port_info.h"
#include "tests/app/app_harness.h"

namespace {

const int kDeviceControls[] = {1030, 1031, 1032, 1041, 1043, 1065, 1044, 1040, 1042, 1064,
                               1050, 1051, 1060, 1061, 1062, 1063, 1066, 1190, 1191, 1200};
const int kDisplays[] = {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                         IDC_CURRENT_BRIGHTNESS};

std::vector<std::wstring> displays(const MemoryView& view) {
    std::vector<std::wstring> texts;
    for (int id : kDisplays) texts.push_back(view.getText(id));
    return texts;
}

void ExpectDisconnectedLook(const AppHarness& h) {
    EXPECT_FALSE(h.app.link.connected);
    EXPECT_FALSE(h.app.link.isOpen());
    EXPECT_FALSE(h.app.pollTimerActive);
    EXPECT_FALSE(h.view.pollTimerRunning());
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Connect");
    for (int id : kDeviceControls) EXPECT_FALSE(h.view.isEnabled(id)) << id;
    for (int id : {IDC_PORT_COMBO, IDC_REFRESH, IDC_CONNECT}) EXPECT_TRUE(h.view.isEnabled(id)) << id;
    EXPECT_EQ(displays(h.view), std::vector<std::wstring>(5, L"-"));
}

TEST(StartUp, LeavesTheDisconnectedFormAndThePortCount) {
    MemoryView view;
    App app(view);
    InitialiseMainControls(app);
    EXPECT_EQ(view.getText(IDC_STATUS), L"Found " + std::to_wstring(listSerialPorts().size()) + L" COM port(s).");
    EXPECT_EQ(view.comboItems(IDC_PORT_COMBO).size(), app.PortList.size());
    for (int id : kDeviceControls) EXPECT_FALSE(view.isEnabled(id)) << id;
    EXPECT_EQ(view.getText(IDC_MAX_BRIGHTNESS), L"-");
    EXPECT_EQ(view.getText(IDC_IR_CODE), L"0x0");
    EXPECT_EQ(view.getText(IDC_IR_PERIOD), L"");
    EXPECT_FALSE(view.isChecked(IDC_FULL_REPEAT));
    EXPECT_EQ(view.comboItems(IDC_RA_DEFAULT).size(), 16u);
    EXPECT_EQ(view.comboItems(IDC_RA_DEFAULT)[0], L"");
    EXPECT_EQ(view.comboItems(IDC_RA_DEFAULT)[15], L"22 \u2126");
    EXPECT_EQ(view.comboItems(IDC_RB_DEFAULT), (std::vector<std::wstring>{L"", L"22 \u2126"}));
    EXPECT_EQ(view.comboSelection(IDC_RA_DEFAULT), -1);
    EXPECT_EQ(view.comboSelection(IDC_RB_DEFAULT), -1);
    EXPECT_EQ(view.tabSelection(), 0);
    EXPECT_EQ(view.listColumns().size(), 17u);
    EXPECT_FALSE(view.pollTimerRunning());
}

TEST(PortList, NoPortMeansNoSelectionAndNoConnect) {
    AppHarness h;
    ShowPortList(h.app, {});
    EXPECT_EQ(h.status(), L"Found 0 COM port(s).");
    EXPECT_TRUE(h.view.comboItems(IDC_PORT_COMBO).empty());
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"No port selected.");
    ExpectDisconnectedLook(h);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST(PortList, ListsFriendlyNamesInOrderAndSelectsTheFirst) {
    AppHarness h;
    ShowPortList(h.app, {{"/dev/ttyUSB0", "FT232R USB UART (/dev/ttyUSB0)"}, {"/dev/ttyS0", "ttyS0 (/dev/ttyS0)"}});
    EXPECT_EQ(h.status(), L"Found 2 COM port(s).");
    EXPECT_EQ(h.view.comboItems(IDC_PORT_COMBO),
              (std::vector<std::wstring>{L"FT232R USB UART (/dev/ttyUSB0)", L"ttyS0 (/dev/ttyS0)"}));
    EXPECT_EQ(h.view.comboSelection(IDC_PORT_COMBO), 0);
    h.view.comboSelect(IDC_PORT_COMBO, -1);
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"No port selected.");
}

TEST(Connect, APortThatCannotBeOpenedStaysDisconnected) {
    AppHarness h;
    ShowPortList(h.app, {{"/dev/korvel-no-such-port", "gone"}});
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"Connection failed.");
    ExpectDisconnectedLook(h);
}

TEST(Connect, APortInUseByAnotherProgramIsRefused) {
    AppHarness h;
    SerialLink other;
    other.timeouts.settleMs = 0;
    ASSERT_TRUE(other.open(h.module.portPath()));
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"Connection failed.");
    ExpectDisconnectedLook(h);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST(Connect, SyncsEverythingThenStartsPolling) {
    AppHarness h;
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"Connected. Live polling at 5 Hz.");
    EXPECT_TRUE(h.app.link.connected);
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Disconnect");
    for (int id : kDeviceControls) EXPECT_TRUE(h.view.isEnabled(id)) << id;
    EXPECT_TRUE(h.app.pollTimerActive);
    EXPECT_TRUE(h.view.pollTimerRunning());
    // Max brightness, full repeat, default resistance, IR period, then the Media table.
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{8}, {17}, {20}, {18}, {0}}));
    EXPECT_EQ(h.view.listRowCount(), static_cast<int>(h.module.config().media.size()));
    // The displays wait for the first tick.
    EXPECT_EQ(displays(h.view), std::vector<std::wstring>(5, L"-"));
}

TEST(Connect, AFailingSyncStillEndsConnected) {
    AppHarness h;
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getMaxBrightness});
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"Connected. Live polling at 5 Hz.");
    EXPECT_TRUE(h.app.link.connected);
    EXPECT_TRUE(h.view.pollTimerRunning());
}

TEST(Disconnect, TheButtonClosesWithoutSendingAnything) {
    AppHarness h;
    h.connect();
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_EQ(h.status(), L"Disconnected.");
    ExpectDisconnectedLook(h);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    // The held rows stay on show.
    EXPECT_EQ(h.view.listRowCount(), static_cast<int>(h.module.config().media.size()));
}

TEST(Disconnect, DisablingTwiceIsHarmless) {
    AppHarness h;
    h.connect();
    EnableDeviceControls(h.app, false);
    EnableDeviceControls(h.app, false);
    EXPECT_EQ(h.status(), L"Disconnected.");
    EXPECT_FALSE(h.view.pollTimerRunning());
}

TEST(Refresh, WhileConnectedLeavesTheOpenPortAlone) {
    AppHarness h;
    h.connect();
    HandleCommand(h.app, IDC_REFRESH, 0);
    EXPECT_EQ(h.status(), L"Found " + std::to_wstring(listSerialPorts().size()) + L" COM port(s).");
    EXPECT_TRUE(h.app.link.connected);
    h.module.setPressed({1, 2, 3, 4}, 5);
    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(h.view.getText(IDC_CURRENT_BRIGHTNESS), L"5");
    HandleCommand(h.app, IDC_CONNECT, 0);
    EXPECT_FALSE(h.app.link.isOpen());
    EXPECT_EQ(h.status(), L"Disconnected.");
}

struct PollCase {
    PressedButtons pressed;
    std::uint8_t brightness;
    std::vector<std::wstring> shown;
};
// Without a printer of its own, gtest shows a parameter byte by byte, padding
// included, and valgrind reports the padding as uninitialised.
void PrintTo(const PollCase& c, std::ostream* os) { *os << "brightness " << int{c.brightness}; }

class Poll : public testing::TestWithParam<PollCase> {};

TEST_P(Poll, ShowsTheRawCodesAndTheBrightness) {
    AppHarness h;
    h.connect();
    SetStatusText(h.app, L"Earlier message.");
    h.module.setPressed(GetParam().pressed, GetParam().brightness);
    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(displays(h.view), GetParam().shown);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{2}, {3}}));
    EXPECT_EQ(h.status(), L"Earlier message.");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Poll,
    testing::Values(PollCase{{0x0A, 0x1C, 0x01, 0x0201}, 77, {L"0x0A", L"0x1C", L"0x01", L"0x0201", L"77"}},
                    PollCase{{0, 0, 0, 0}, 0, {L"0x00", L"0x00", L"0x00", L"0x0000", L"0"}},
                    PollCase{{0xFF, 0xAB, 0x30, 0xFFFF}, 255, {L"0xFF", L"0xAB", L"0x30", L"0xFFFF", L"255"}}));

TEST(Poll, OtherTimersAndTicksWhileDisconnectedSendNothing) {
    AppHarness h;
    HandleTimer(h.app, POLL_TIMER_ID);
    h.connect();
    HandleTimer(h.app, 2);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    EXPECT_EQ(displays(h.view), std::vector<std::wstring>(5, L"-"));
}

TEST(Poll, AShortReplyIsAProtocolErrorAndPollingGoesOn) {
    AppHarness h;
    h.connect();
    h.module.setPressed({1, 2, 3, 4}, 9);
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getPressedButtons, .afterBytes = 4});
    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(h.status(), L"Protocol error occured: Fewer bytes than expected.");
    EXPECT_TRUE(h.app.link.connected);
    EXPECT_TRUE(h.view.pollTimerRunning());
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{2}}));  // no brightness after a failed poll
    EXPECT_EQ(displays(h.view), std::vector<std::wstring>(5, L"-"));

    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(displays(h.view), (std::vector<std::wstring>{L"0x01", L"0x02", L"0x03", L"0x0004", L"9"}));
}

TEST(Poll, AShortBrightnessWritesNoDisplay) {
    AppHarness h;
    h.connect();
    h.module.setPressed({1, 2, 3, 4}, 9);
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getCurrentBrightness});
    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(h.status(), L"Protocol error occured: Fewer bytes than expected.");
    EXPECT_EQ(displays(h.view), std::vector<std::wstring>(5, L"-"));
}

struct HangUpCase {
    const char* name;
    bool beforeRequest;  // the line is gone before the poll writes
    std::wstring status;
};
void PrintTo(const HangUpCase& c, std::ostream* os) { *os << c.name; }

class HangUp : public testing::TestWithParam<HangUpCase> {};

TEST_P(HangUp, DisconnectsThroughTheSafetyNet) {
    AppHarness h;
    h.connect();
    HandleTimer(h.app, POLL_TIMER_ID);  // displays now show codes
    if (GetParam().beforeRequest) {
        h.module.hangUpAfter(0);
        ASSERT_TRUE(h.module.waitForHangUp(1000));
    } else {
        h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::getPressedButtons});
    }
    HandleTimer(h.app, POLL_TIMER_ID);
    EXPECT_EQ(h.status(), GetParam().status);
    ExpectDisconnectedLook(h);
}

INSTANTIATE_TEST_SUITE_P(Line, HangUp,
                         testing::Values(HangUpCase{"WhileAwaitingTheReply", false, L"Serial error occured: Read failed."},
                                         HangUpCase{"BeforeThePoll", true, L"Serial error occured: Write failed."}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
