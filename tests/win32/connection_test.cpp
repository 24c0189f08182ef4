// Connecting to the virtual modules through the window: the live poll, the
// disconnect, a module that hangs up, one that answers the poll short, and
// leaving the program while connected.
#include <cstdio>
#include <set>

#include "window_driver.h"

namespace {

const int kDeviceControls[] = {IDC_SAVE_TO_DEVICE, IDC_LOAD_FROM_DEVICE, IDC_RESET,       IDC_IR_SEND,
                               IDC_IR_PERIOD_SET,  IDC_FULL_REPEAT,      IDC_IR_CODE,     IDC_IR_PERIOD,
                               IDC_MAX_BRIGHTNESS, IDC_MAX_BRIGHTNESS_SET, IDC_RA_DEFAULT, IDC_RB_DEFAULT,
                               IDC_PRESSED_MEDIA,  IDC_PRESSED_GEARS,    IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                               IDC_CURRENT_BRIGHTNESS, IDC_ACTIONS_PANEL, IDC_ACTIONS_TAB, IDC_ACTIONS_LIST};
const int kDisplays[] = {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                         IDC_CURRENT_BRIGHTNESS};

// What the five displays show for a logged poll: "02 -> m g h a0 a1" and "03 -> b".
std::wstring DisplayLine(unsigned m, unsigned g, unsigned h, unsigned acc, unsigned brightness) {
    wchar_t line[80];
    std::swprintf(line, 80, L"0x%02X 0x%02X 0x%02X 0x%04X %u", m, g, h, acc, brightness);
    return line;
}

// Every display line the module's poll answers could have produced.
std::set<std::wstring> LoggedDisplayLines() {
    std::set<std::wstring> lines;
    unsigned m = 0, g = 0, h = 0, a0 = 0, a1 = 0, b = 0;
    bool pressed = false;
    for (const std::string& line : ModuleLog("com7")) {
        if (std::sscanf(line.c_str(), "02 -> %x %x %x %x %x", &m, &g, &h, &a0, &a1) == 5) pressed = true;
        else if (pressed && std::sscanf(line.c_str(), "03 -> %x", &b) == 1)
            lines.insert(DisplayLine(m, g, h, a0 | a1 << 8, b));
    }
    return lines;
}

}  // namespace

class ConnectionTest : public MainWindowTest {
protected:
    std::wstring displays() const {
        return text(IDC_PRESSED_MEDIA) + L" " + text(IDC_PRESSED_GEARS) + L" " + text(IDC_PRESSED_HORN) + L" " +
               text(IDC_PRESSED_ACC) + L" " + text(IDC_CURRENT_BRIGHTNESS);
    }
    bool displaysBlank() const {
        for (int id : kDisplays)
            if (text(id) != L"-") return false;
        return true;
    }
    void expectDeviceControlsEnabled(bool on) {
        for (int id : kDeviceControls) EXPECT_EQ(enabled(id), on) << id;
    }
};

TEST_F(ConnectionTest, ConnectShowsTheModulesPressedCodesAndDisconnectBlanksThem) {
    ASSERT_TRUE(connect());
    EXPECT_EQ(text(IDC_CONNECT), L"Disconnect");
    expectDeviceControlsEnabled(true);
    EXPECT_TRUE(program->app.pollTimerActive);

    // Within a second the displays show one of the module's poll answers.
    ASSERT_TRUE(pumpUntil([this] { return !displaysBlank(); }, 1000));
    pump(300);
    std::wstring shown = displays();
    pump(100);  // the module's log follows its exchanges closely
    EXPECT_TRUE(LoggedDisplayLines().count(shown)) << "displays: " << testing::PrintToString(shown);
    EXPECT_EQ(status(), L"Connected. Live polling at 5 Hz.");

    click(IDC_CONNECT);
    EXPECT_EQ(status(), L"Disconnected.");
    EXPECT_EQ(text(IDC_CONNECT), L"Connect");
    EXPECT_TRUE(displaysBlank());
    expectDeviceControlsEnabled(false);
    EXPECT_FALSE(program->app.pollTimerActive);
}

TEST_F(ConnectionTest, ExitWhileConnectedSendsNothingAndQuitsWithZero) {
    ASSERT_TRUE(connect());
    pump(500);
    std::size_t before = LogMark();
    ASSERT_GT(before, 0u) << "the virtual module on COM7 keeps no log";
    command(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(program->app.link.isOpen());
    EXPECT_FALSE(program->app.pollTimerActive);
    pump(300);
    EXPECT_TRUE(quitSeen);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(LogMark(), before);
}

TEST_F(ConnectionTest, ModuleHangingUpDisconnectsWithTheSerialError) {
    RegisterPort(L"0001", L"COM8", L"Korvel hanging module (COM8)");
    bool connected = connect(L"Korvel hanging module (COM8)");
    UnregisterPort(L"0001");
    ASSERT_TRUE(connected);
    EXPECT_EQ(text(IDC_CONNECT), L"Disconnect");
    // The module closes its line after the connect's reads and one poll.
    ASSERT_TRUE(pumpUntil([this] { return status().rfind(L"Serial error occured: ", 0) == 0; }, 5000)) << status();
    std::wstring cause = status().substr(std::wstring(L"Serial error occured: ").size());
    EXPECT_TRUE(cause == L"Write failed." || cause == L"Read failed.") << testing::PrintToString(cause);
    EXPECT_EQ(text(IDC_CONNECT), L"Connect");
    EXPECT_TRUE(displaysBlank());
    expectDeviceControlsEnabled(false);
    EXPECT_FALSE(program->app.link.isOpen());
}

TEST_F(ConnectionTest, ShortPollAnswerIsAProtocolErrorAndPollingGoesOn) {
    RegisterPort(L"0002", L"COM9", L"Korvel terse module (COM9)");
    bool connected = connect(L"Korvel terse module (COM9)");
    UnregisterPort(L"0002");
    ASSERT_TRUE(connected);
    ASSERT_TRUE(pumpUntil([this] { return status() == L"Protocol error occured: Fewer bytes than expected."; }));
    // Still connected, and the next ticks poll again.
    SetWindowTextW(control(IDC_STATUS), L"");
    ASSERT_TRUE(pumpUntil([this] { return status() == L"Protocol error occured: Fewer bytes than expected."; }));
    EXPECT_EQ(text(IDC_CONNECT), L"Disconnect");
    EXPECT_TRUE(program->app.link.connected);
    EXPECT_TRUE(program->app.pollTimerActive);
    EXPECT_TRUE(displaysBlank());
    expectDeviceControlsEnabled(true);
}

TEST_F(ConnectionTest, TimerTicksDoNothingWhileDisconnected) {
    for (UINT_PTR id : {1, 2}) SendMessageW(window, WM_TIMER, id, 0);
    EXPECT_EQ(status(), L"Found 1 COM port(s).");
    EXPECT_TRUE(displaysBlank());
}
