// Reading the four settings from the virtual module into held values and controls.

#include <functional>

#include "settings/sync.h"
#include "tests/settings/connected_app.h"

namespace {

ModuleConfig WithSettings(std::uint8_t brightness, std::uint8_t fullRepeat, std::uint16_t period,
                          std::uint16_t resistance) {
    ModuleConfig c = FactoryConfig();
    c.maxBrightness = brightness;
    c.irFullRepeat = fullRepeat;
    c.irRepeatPeriod = period;
    c.defaultResistance = resistance;
    return c;
}

TEST(SyncValues, MaxBrightnessIsClampedToHundred) {
    const struct { std::uint8_t reported, held; } cases[] = {{150, 100}, {255, 100}, {101, 100},
                                                             {100, 100}, {0, 0},     {75, 75}};
    for (const auto& c : cases) {
        ConnectedApp t(WithSettings(c.reported, 0, 0, 0));
        SyncMaxBrightnessField(t.app);
        EXPECT_EQ(t.view.getText(IDC_MAX_BRIGHTNESS), std::to_wstring(c.held)) << int(c.reported);
        EXPECT_EQ(t.app.held.g_maxBrightness, c.held);
        EXPECT_EQ(t.status(), L"Max brightness loaded.");
        EXPECT_EQ(t.requests(), Requests({{0x08}}));
    }
}

TEST(SyncValues, AnyNonZeroFullRepeatChecksTheBox) {
    for (std::uint8_t reported : {0, 1, 2, 255}) {
        ConnectedApp t(WithSettings(0, reported, 0, 0));
        t.view.setChecked(IDC_FULL_REPEAT, reported == 0);  // the opposite of what must show
        SyncFullRepeatCheckbox(t.app);
        EXPECT_EQ(t.view.isChecked(IDC_FULL_REPEAT), reported != 0) << int(reported);
        EXPECT_EQ(t.app.held.g_irFullRepeat, reported != 0);
        EXPECT_EQ(t.status(), L"Full repeat loaded.");
        EXPECT_EQ(t.requests(), Requests({{0x11}}));
    }
}

TEST(SyncValues, IrPeriodShowsTheWholeU16) {
    for (std::uint16_t reported : {0, 500, 65535}) {
        ConnectedApp t(WithSettings(0, 0, reported, 0));
        SyncIrRepeatPeriodField(t.app);
        EXPECT_EQ(t.view.getText(IDC_IR_PERIOD), std::to_wstring(reported));
        EXPECT_EQ(t.app.held.g_irRepeatPeriod, reported);
        EXPECT_EQ(t.status(), L"IR repeat period loaded.");
        EXPECT_EQ(t.requests(), Requests({{0x12}}));
    }
}

TEST(SyncValues, DefaultResistanceSelectsTheCatalogueItemsAndTraces) {
    const struct {
        std::uint16_t reported;
        int raItem, rbItem;
        std::vector<std::wstring> trace;
    } cases[] = {
        {0x8004, 3, 1,
         {L"g_defaultResistors=0x8004\n", L"raText=[3.9 k\u2126]\n", L"rbText=[22 \u2126]\n", L"idxA=3\n",
          L"idxB=1\n"}},
        {0x4000, 15, 0,
         {L"g_defaultResistors=0x4000\n", L"raText=[22 \u2126]\n", L"rbText=[]\n", L"idxA=15\n", L"idxB=0\n"}},
        {0x0003, 0, 0, {L"g_defaultResistors=0x0003\n", L"raText=[]\n", L"rbText=[]\n", L"idxA=0\n", L"idxB=0\n"}},
        {0x0000, 0, 0, {L"g_defaultResistors=0x0000\n", L"raText=[]\n", L"rbText=[]\n", L"idxA=0\n", L"idxB=0\n"}},
        {0xA000, 14, 1,
         {L"g_defaultResistors=0xA000\n", L"raText=[100 k\u2126]\n", L"rbText=[22 \u2126]\n", L"idxA=14\n",
          L"idxB=1\n"}},
    };
    for (const auto& c : cases) {
        ConnectedApp t(WithSettings(0, 0, 0, c.reported));
        SyncDefaultResistance(t.app);
        EXPECT_EQ(t.view.comboSelection(IDC_RA_DEFAULT), c.raItem) << c.reported;
        EXPECT_EQ(t.view.comboSelection(IDC_RB_DEFAULT), c.rbItem) << c.reported;
        EXPECT_EQ(t.app.held.g_defaultResistors, c.reported);
        EXPECT_EQ(t.view.traces, c.trace);
        EXPECT_EQ(t.status(), L"Default resistance loaded.");
        EXPECT_EQ(t.requests(), Requests({{0x14}}));
    }
}

// Where the search finds nothing (a combo without the empty item, as a list
// box may search), item 0 is selected and the trace shows -1.
TEST(SyncValues, DefaultResistanceNotFoundSelectsTheFirstItem) {
    ConnectedApp t(WithSettings(0, 0, 0, 0x0003));
    for (int id : {IDC_RA_DEFAULT, IDC_RB_DEFAULT}) {
        t.view.comboReset(id);
        t.view.comboAdd(id, L"first");
        t.view.comboAdd(id, L"second");
        t.view.comboSelect(id, 1);
    }
    SyncDefaultResistance(t.app);
    EXPECT_EQ(t.view.comboSelection(IDC_RA_DEFAULT), 0);
    EXPECT_EQ(t.view.comboSelection(IDC_RB_DEFAULT), 0);
    EXPECT_EQ(t.view.traces[3], L"idxA=-1\n");
    EXPECT_EQ(t.view.traces[4], L"idxB=-1\n");
}

TEST(SyncValues, AllFromModuleReadsInItsOrderAndEndsWithTheTable) {
    ConnectedApp t(WithSettings(60, 1, 250, 0x8001));
    SyncAllFromModule(t.app);
    EXPECT_EQ(t.requests(), Requests({{0x08}, {0x11}, {0x14}, {0x12}, {0x00}}));
    EXPECT_EQ(t.app.held, (HeldSettings{60, true, 250, 0x8001}));
    EXPECT_EQ(t.view.getText(IDC_MAX_BRIGHTNESS), L"60");
    EXPECT_EQ(t.view.getText(IDC_IR_PERIOD), L"250");
    EXPECT_EQ(t.app.page.mediaActions, t.module.config().media);
    EXPECT_EQ(t.status(), L"Media actions loaded.");
}

struct SyncStep {
    const char* name;
    std::function<void(App&)> run;
    std::uint8_t command;
    std::size_t replyBytes;
    const wchar_t* failure;
};

const SyncStep kSteps[] = {
    {"max brightness", SyncMaxBrightnessField, 0x08, 1, L"getMaxBrightness failed (exception)."},
    {"full repeat", SyncFullRepeatCheckbox, 0x11, 1, L"getIRFullRepeat failed (exception)."},
    {"IR period", SyncIrRepeatPeriodField, 0x12, 2, L"SyncIrRepeatPeriodField failed (exception)."},
    {"default resistance", SyncDefaultResistance, 0x14, 2, L"SyncDefaultResistance failed (exception)."},
};

// A module that stays silent, or stops half-way through a two-byte reply:
// each step shows its own text, changes nothing and keeps the connection.
TEST(SyncFailures, EachStepReportsItsOwnTextAndKeepsEverything) {
    for (const SyncStep& step : kSteps) {
        for (std::size_t sent = 0; sent < step.replyBytes; ++sent) {
            SCOPED_TRACE(step.name + std::string(", bytes sent: ") + std::to_string(sent));
            ConnectedApp t(WithSettings(90, 1, 1234, 0x8002));
            const HeldSettings before{33, false, 77, 0x0010};
            t.app.held = before;
            t.view.setText(IDC_MAX_BRIGHTNESS, L"33");
            t.view.setText(IDC_IR_PERIOD, L"77");
            t.view.comboSelect(IDC_RA_DEFAULT, 5);
            Fault silent;
            silent.kind = FaultKind::Silence;
            silent.command = step.command;
            silent.afterBytes = sent;
            t.module.addFault(silent);
            step.run(t.app);
            EXPECT_EQ(t.status(), step.failure);
            EXPECT_EQ(t.app.held, before);
            EXPECT_EQ(t.view.getText(IDC_MAX_BRIGHTNESS), L"33");
            EXPECT_EQ(t.view.getText(IDC_IR_PERIOD), L"77");
            EXPECT_FALSE(t.view.isChecked(IDC_FULL_REPEAT));
            EXPECT_EQ(t.view.comboSelection(IDC_RA_DEFAULT), 5);
            EXPECT_TRUE(t.view.traces.empty());
            EXPECT_TRUE(t.app.link.connected);
            EXPECT_TRUE(t.app.link.isOpen());
        }
    }
}

TEST(SyncFailures, AHangUpIsCaughtByTheStepToo) {
    ConnectedApp t;
    t.module.hangUpAfter(0);
    SyncIrRepeatPeriodField(t.app);
    EXPECT_EQ(t.status(), L"SyncIrRepeatPeriodField failed (exception).");
    EXPECT_TRUE(t.app.link.connected);
}

TEST(SyncFailures, ASilentBrightnessDoesNotStopTheRestOfTheSequence) {
    ConnectedApp t(WithSettings(90, 1, 1234, 0x8002));
    t.view.setText(IDC_MAX_BRIGHTNESS, L"-");
    Fault silent;
    silent.command = 0x08;
    t.module.addFault(silent);
    SyncAllFromModule(t.app);
    EXPECT_EQ(t.requests(), Requests({{0x08}, {0x11}, {0x14}, {0x12}, {0x00}}));
    EXPECT_EQ(t.view.getText(IDC_MAX_BRIGHTNESS), L"-");
    EXPECT_EQ(t.app.held, (HeldSettings{0, true, 1234, 0x8002}));
    EXPECT_EQ(t.status(), L"Media actions loaded.");
}

TEST(SyncFailures, NothingIsSentOrShownWhileDisconnected) {
    for (const SyncStep& step : kSteps) {
        ConnectedApp t;
        t.app.link.connected = false;
        t.view.setText(IDC_STATUS, L"Disconnected.");
        step.run(t.app);
        EXPECT_EQ(t.module.exchangeCount(), 0u) << step.name;
        EXPECT_EQ(t.status(), L"Disconnected.") << step.name;
        EXPECT_EQ(t.app.held, HeldSettings{}) << step.name;
    }
}

}  // namespace
