#include <gtest/gtest.h>

#include "actions/actions_list.h"
#include "tests/app/app_harness.h"

namespace {

TEST(Commands, IdsWithoutAnActionSendNothing) {
    AppHarness h;
    h.connect();
    h.view.setText(IDC_STATUS, L"unchanged");
    for (int id : {IDC_PORT_COMBO, IDC_IR_CODE, IDC_IR_PERIOD, IDC_MAX_BRIGHTNESS, IDM_HELP_ABOUT, IDM_FILE_EXIT, 4711})
        HandleCommand(h.app, id, 0);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    EXPECT_EQ(h.status(), L"unchanged");
}

TEST(Commands, DefaultResistanceActsOnConfirmedChoiceOnly) {
    AppHarness h;
    h.connect();
    h.view.comboSelect(IDC_RA_DEFAULT, 3);
    h.view.comboSelect(IDC_RB_DEFAULT, 1);
    for (int code : {1 /* selection changed */, 7 /* drop-down opened */, 10 /* cancelled */}) {
        HandleCommand(h.app, IDC_RA_DEFAULT, code);
        HandleCommand(h.app, IDC_RB_DEFAULT, code);
    }
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    HandleCommand(h.app, IDC_RB_DEFAULT, 9);
    ASSERT_FALSE(h.requests().empty());
    EXPECT_EQ(h.requests()[0], (Bytes{cmd::setDefaultResistance, 0x04, 0x80}));
}

TEST(Commands, FileCommandsWhileDisconnectedOnlyReport) {
    AppHarness h;
    HandleCommand(h.app, IDM_FILE_SAVE, 0);
    EXPECT_EQ(h.status(), L"No device connected, cannot save config.");
    HandleCommand(h.app, IDM_FILE_OPEN, 0);
    EXPECT_EQ(h.status(), L"No device connected, cannot load config.");
    EXPECT_EQ(h.view.saveDialogsShown + h.view.openDialogsShown, 0);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST(Commands, CancelledOpenStillPushesEverythingHeldAndReloadsTheTab) {
    AppHarness h;
    h.connect();
    ASSERT_TRUE(ReloadAllActions(h.app));
    h.module.clearExchanges();
    HandleCommand(h.app, IDM_FILE_OPEN, 0);
    EXPECT_EQ(h.view.openDialogsShown, 1);
    const ModuleConfig config = h.module.config();
    std::vector<std::uint8_t> commands;
    for (const auto& request : h.requests()) commands.push_back(request[0]);
    std::vector<std::uint8_t> expected = {16, 18, 15, 17, 7, 8, 21, 20};
    expected.insert(expected.end(), config.media.size(), cmd::setMediaAction);
    expected.insert(expected.end(), config.gears.size(), cmd::setGearAction);
    expected.insert(expected.end(), config.horn.size(), cmd::setHornAction);
    expected.insert(expected.end(), config.acc.size(), cmd::setAccAction);
    expected.push_back(cmd::getMediaActions);
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(h.status(), L"Media actions loaded.");
}

TEST(Commands, ASerialFailureInTheOpenFlowDisconnects) {
    AppHarness h;
    h.connect();
    h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::setIRRepeatPeriod});
    HandleCommand(h.app, IDM_FILE_OPEN, 0);
    EXPECT_EQ(h.status(), L"Serial error occured: Read failed.");
    EXPECT_FALSE(h.app.link.connected);
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Connect");
}

}  // namespace
