// Reading the four settings from the module, and the events that set them or
// use the module's store: bytes on the wire, texts, and the held values.

#include <tuple>

#include "app/settings_panel.h"
#include "device/text.h"
#include "tests/app/app_harness.h"

namespace {

// The settings controls: brightness text, period text, full repeat box, RA and RB items.
std::wstring Shown(const MemoryView& v) {
    return v.getText(IDC_MAX_BRIGHTNESS) + L"|" + v.getText(IDC_IR_PERIOD) +
           (v.isChecked(IDC_FULL_REPEAT) ? L"|on|" : L"|off|") + std::to_wstring(v.comboSelection(IDC_RA_DEFAULT)) +
           L"|" + std::to_wstring(v.comboSelection(IDC_RB_DEFAULT));
}

// What each step sends, holds (the module's resistance as its own, its other settings are 150, 2 and 65535),
// shows, traces, and shows when the module is silent (once a step); while disconnected it is silent.
using Step = void (*)(App&);
const std::tuple<Step, std::uint8_t, ModuleSettings, const wchar_t*, const wchar_t*, Texts, const wchar_t*> kSyncs[] = {
    {SyncMaxBrightnessField, 0x08, {100, false, 0, 0}, L"100||off|-1|-1", L"Max brightness loaded.", {},
     L"getMaxBrightness failed (exception)."},
    {SyncFullRepeatCheckbox, 0x11, {0, true, 0, 0}, L"-||on|-1|-1", L"Full repeat loaded.", {},
     L"getIRFullRepeat failed (exception)."},
    {SyncIrRepeatPeriodField, 0x12, {0, false, 65535, 0}, L"-|65535|off|-1|-1", L"IR repeat period loaded.", {},
     L"SyncIrRepeatPeriodField failed (exception)."},
    {SyncDefaultResistance, 0x14, {0, false, 0, 0x8004}, L"-||off|3|1", L"Default resistance loaded.",
     {L"g_defaultResistors=0x8004\n", L"raText=[3.9 k\u2126]\n", L"rbText=[22 \u2126]\n", L"idxA=3\n", L"idxB=1\n"},
     L"SyncDefaultResistance failed (exception)."},
    {SyncDefaultResistance, 0x14, {0, false, 0, 0x4000}, L"-||off|15|0", L"Default resistance loaded.",
     {L"g_defaultResistors=0x4000\n", L"raText=[22 \u2126]\n", L"rbText=[]\n", L"idxA=15\n", L"idxB=0\n"}, nullptr},
    {SyncDefaultResistance, 0x14, {0, false, 0, 0x0003}, L"-||off|0|0", L"Default resistance loaded.",
     {L"g_defaultResistors=0x0003\n", L"raText=[]\n", L"rbText=[]\n", L"idxA=0\n", L"idxB=0\n"}, nullptr},
};

TEST(Sync, EachStepShowsAndHoldsWhatTheModuleReports) {
    for (const auto& [step, command, held, shown, loaded, trace, failure] : kSyncs) {
        SCOPED_TRACE(ToUtf8(loaded) + " " + std::to_string(held.defaultResistors));
        OpenApp t(WithSettings(150, 2, 65535, held.defaultResistors));
        const std::wstring before = Shown(t.view), status = t.status();
        t.app.module.link.connected = false;
        step(t.app);
        EXPECT_EQ(t.module.exchangeCount(), 0u);
        EXPECT_EQ(t.status(), status);
        t.app.module.link.connected = true;
        if (failure) {
            t.module.addFault({.command = command});
            step(t.app);
            EXPECT_EQ(t.status(), failure);
            EXPECT_EQ(Shown(t.view), before);
            EXPECT_EQ(t.app.module.held.settings, ModuleSettings{});
            EXPECT_TRUE(t.app.module.link.connected && t.traces.empty());
            t.module.clearExchanges();
        }
        step(t.app);
        EXPECT_EQ(t.requests(), Requests({{command}}));
        EXPECT_EQ(t.app.module.held.settings, held);
        EXPECT_EQ(Shown(t.view), shown);
        EXPECT_EQ(t.traces, trace);
        EXPECT_EQ(t.status(), loaded);
    }
}

// What is typed reaches the module as these bytes, or is refused with nothing sent; a
// silent brightness set is caught by its handler, a silent period set by the safety
// net, and the connection stays.
TEST(Events, TypedTextsAreSentAsTheseBytes) {
    const std::tuple<UiEvent, int, const wchar_t*, Bytes, const wchar_t*, bool> cases[] = {
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"100", {0x07, 0x64}, L"Max brightness set.", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"064", {0x07, 0x34}, L"Max brightness set.", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"50%", {0x07, 0x32}, L"Max brightness set.", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"101", {}, L"Invalid max brightness (0-100).", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"-1", {}, L"Invalid max brightness (0-100).", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"", {}, L"Invalid max brightness (0-100).", false},
        {UiEvent::SetMaxBrightness, IDC_MAX_BRIGHTNESS, L"40", {0x07, 0x28}, L"Max brightness set failed (exception).",
         true},
        {UiEvent::SetIrPeriod, IDC_IR_PERIOD, L"65536", {0x10, 0x00, 0x00}, L"IR period set.", false},
        {UiEvent::SetIrPeriod, IDC_IR_PERIOD, L"", {}, L"Invalid IR period.", false},
        {UiEvent::SetIrPeriod, IDC_IR_PERIOD, L"200", {0x10, 0xC8, 0x00},
         L"Protocol error occured: Fewer bytes than expected.", true},
        {UiEvent::SendIr, IDC_IR_CODE, L"0xFFFFFFFFF", {0x06, 0xFF, 0xFF, 0xFF, 0xFF}, L"IR code sent", false},
        {UiEvent::SendIr, IDC_IR_CODE, L"zz", {}, L"Invalid IR to send.", false},
    };
    OpenApp t;
    for (const auto& [event, field, typed, sent, status, silent] : cases) {
        SCOPED_TRACE(ToUtf8(typed));
        t.module.clearExchanges();
        if (silent) t.module.addFault({.command = sent[0]});
        t.view.setText(field, typed);
        HandleEvent(t.app, event);
        EXPECT_EQ(t.requests(), sent.empty() ? Requests{} : Requests{sent});
        EXPECT_EQ(t.status(), status);
        EXPECT_TRUE(t.app.module.link.connected);
    }
}

const ModuleSettings kHeld{1, true, 2, 0x0010};  // held before each event

// The controls as each event finds them, and the held values.
void Prepare(AppHarness& t) {
    t.view.setText(IDC_IR_CODE, L"0x44");
    t.view.setText(IDC_IR_PERIOD, L"200");
    t.view.setText(IDC_MAX_BRIGHTNESS, L"40");
    t.view.comboSelect(IDC_RA_DEFAULT, 3);
    t.view.comboSelect(IDC_RB_DEFAULT, 1);
    t.app.module.held.settings = kHeld;
}

// Each event: "Not connected." while disconnected (the toggle and the resistance
// rely on their disabled controls instead), a refusal changes nothing and reads
// nothing back (its text comes before its code), then success sends, holds and shows.
TEST(Events, DisconnectedThenRefusedThenAccepted) {
    const struct { UiEvent event; Requests sent; ModuleSettings held; const wchar_t *success, *failure; } cases[] = {
        {UiEvent::SaveToDevice, {{0x04}}, kHeld, L"Config saved to module.", L"Save failed, response: "},
        {UiEvent::LoadFromDevice, {{0x05}, {0x08}, {0x11}, {0x14}, {0x12}, {0x00}}, {80, false, 100, 0},
         L"Media actions loaded.", L"Load failed, response: "},
        {UiEvent::Reset, {{0x13}, {0x08}, {0x11}, {0x14}, {0x12}, {0x00}}, {80, false, 100, 0},
         L"Media actions loaded.", L"Reset failed, response: "},
        {UiEvent::SendIr, {{0x06, 0x44, 0, 0, 0}}, kHeld, L"IR code sent", L"IR failed to send, response: "},
        {UiEvent::SetIrPeriod, {{0x10, 0xC8, 0x00}}, kHeld, L"IR period set.", L"IR period set failed, response: "},
        // The refused toggle has already turned the box on; this one turns it off.
        {UiEvent::ToggleFullRepeat, {{0x0F, 0x00}}, kHeld, L"IR full repeat toggled.",
         L"Toggle full repeat failed, response: "},
        {UiEvent::ResistanceChosen, {{0x15, 0x04, 0x80}}, {1, true, 2, 0x8004}, L"Default resistance updated.",
         L"Updating default resistance failed, response: "},
        {UiEvent::SetMaxBrightness, {{0x07, 0x28}}, kHeld, L"Max brightness set.",
         L"Max brightness set failed, response: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.failure));
        OpenApp t;
        Prepare(t);
        const bool toggle = c.event == UiEvent::ToggleFullRepeat;
        if (!toggle && c.event != UiEvent::ResistanceChosen) {
            t.app.module.link.connected = false;
            HandleEvent(t.app, c.event);
            EXPECT_EQ(t.status(), L"Not connected.");
            EXPECT_EQ(t.module.exchangeCount(), 0u);
            t.app.module.link.connected = true;
        }
        t.module.addFault({.kind = FaultKind::Refuse, .command = c.sent[0][0], .status = 2});
        HandleEvent(t.app, c.event);
        EXPECT_EQ(t.status(), c.failure + std::wstring(L"2"));
        EXPECT_EQ(t.requests(), Requests({toggle ? Bytes{0x0F, 0x01} : c.sent[0]}));
        EXPECT_EQ(t.app.module.held.settings, kHeld);
        EXPECT_EQ(t.view.isChecked(IDC_FULL_REPEAT), toggle);
        t.module.clearExchanges();
        HandleEvent(t.app, c.event);
        EXPECT_EQ(t.status(), c.success);
        EXPECT_EQ(t.requests(), c.sent);
        EXPECT_EQ(t.app.module.held.settings, c.held);
        EXPECT_FALSE(t.view.isChecked(IDC_FULL_REPEAT));
        EXPECT_TRUE(t.app.module.link.connected);
    }
}

TEST(Events, AResistanceWithoutBothChoicesIsASelectionError) {
    for (const auto& [ra, rb] : {std::pair{3, -1}, std::pair{-1, 1}, std::pair{-1, -1}}) {
        OpenApp t;
        Prepare(t);
        t.view.comboSelect(IDC_RA_DEFAULT, ra);
        t.view.comboSelect(IDC_RB_DEFAULT, rb);
        HandleEvent(t.app, UiEvent::ResistanceChosen);
        EXPECT_EQ(t.status(), L"Selection error");
        EXPECT_EQ(t.module.exchangeCount(), 0u);
        EXPECT_EQ(t.app.module.held.settings, kHeld);
    }
}

}  // namespace
