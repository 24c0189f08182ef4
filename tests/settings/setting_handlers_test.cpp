// The setting and module-store handlers: typed texts, bytes on the wire,
// status texts and which held setting each one changes.

#include <functional>

#include "device/serial_link.h"
#include "device/text.h"
#include "settings/setting_handlers.h"
#include "tests/settings/connected_app.h"

namespace {

Fault Refusal(std::uint8_t command, std::uint8_t status) {
    Fault f;
    f.kind = FaultKind::Refuse;
    f.command = command;
    f.status = status;
    return f;
}

Fault Silent(std::uint8_t command) {
    Fault f;
    f.kind = FaultKind::Silence;
    f.command = command;
    return f;
}

// A field, the text typed into it, and what reaches the module (nothing when rejected).
struct Typed {
    const wchar_t* text;
    std::vector<std::uint8_t> request;
};

struct NumberHandler {
    const char* name;
    std::function<void(App&)> run;
    int field;
    const wchar_t* invalid;
    const wchar_t* success;
    std::vector<Typed> cases;
};

const NumberHandler kNumberHandlers[] = {
    {"max brightness", ApplyMaxBrightness, IDC_MAX_BRIGHTNESS, L"Invalid max brightness (0-100).",
     L"Max brightness set.",
     {{L"100", {0x07, 0x64}},
      {L"0x64", {0x07, 0x64}},
      {L"064", {0x07, 0x34}},
      {L"50%", {0x07, 0x32}},
      {L"0", {0x07, 0x00}},
      {L"  +7", {0x07, 0x07}},
      {L"101", {}},
      {L"-1", {}},
      {L"", {}},
      {L"abc", {}},
      {L"4294967396", {}}}},
    {"IR period", ApplyIrRepeatPeriod, IDC_IR_PERIOD, L"Invalid IR period.", L"IR period set.",
     {{L"0", {0x10, 0x00, 0x00}},
      {L"500", {0x10, 0xF4, 0x01}},
      {L"65535", {0x10, 0xFF, 0xFF}},
      {L"65536", {0x10, 0x00, 0x00}},
      {L"0x10002", {0x10, 0x02, 0x00}},
      {L"abc", {}},
      {L"", {}}}},
    {"IR code", SendIrCode, IDC_IR_CODE, L"Invalid IR to send.", L"IR code sent",
     {{L"0x0", {0x06, 0x00, 0x00, 0x00, 0x00}},
      {L"0x44", {0x06, 0x44, 0x00, 0x00, 0x00}},
      {L"0x100", {0x06, 0x00, 0x01, 0x00, 0x00}},
      {L"0x12345678", {0x06, 0x78, 0x56, 0x34, 0x12}},
      {L"0xFFFFFFFFF", {0x06, 0xFF, 0xFF, 0xFF, 0xFF}},
      {L"-1", {0x06, 0xFF, 0xFF, 0xFF, 0xFF}},
      {L"zz", {}}}},
};

TEST(NumberHandlers, TypedTextsReachTheModuleAsTheseBytes) {
    for (const NumberHandler& h : kNumberHandlers) {
        for (const Typed& c : h.cases) {
            SCOPED_TRACE(std::string(h.name) + " \"" + ToUtf8(c.text) + "\"");
            ConnectedApp t;
            const HeldSettings held{80, true, 300, 0x8001};
            t.app.held = held;
            t.view.setText(h.field, c.text);
            h.run(t.app);
            if (c.request.empty()) {
                EXPECT_EQ(t.status(), h.invalid);
                EXPECT_EQ(t.module.exchangeCount(), 0u);
            } else {
                EXPECT_EQ(t.status(), h.success);
                EXPECT_EQ(t.requests(), Requests({c.request}));
            }
            // The field keeps what was typed; no held setting follows the command.
            EXPECT_EQ(t.view.getText(h.field), c.text);
            EXPECT_EQ(t.app.held, held);
        }
    }
}

struct Handler {
    const char* name;
    std::function<void(App&)> run;
    std::uint8_t command;
    const wchar_t* success;  // the last text shown after status 0
    const wchar_t* failure;  // followed by the code
    bool checksConnection;   // the other two rely on their controls being disabled
};

// Every handler with valid input in place; see Prepare.
const Handler kHandlers[] = {
    {"save", SaveModuleConfig, 0x04, L"Config saved to module.", L"Save failed, response: ", true},
    {"load", LoadModuleConfig, 0x05, L"Media actions loaded.", L"Load failed, response: ", true},
    {"reset", ResetModuleConfig, 0x13, L"Media actions loaded.", L"Reset failed, response: ", true},
    {"send IR", SendIrCode, 0x06, L"IR code sent", L"IR failed to send, response: ", true},
    {"IR period", ApplyIrRepeatPeriod, 0x10, L"IR period set.", L"IR period set failed, response: ", true},
    {"full repeat", ToggleIrFullRepeat, 0x0F, L"IR full repeat toggled.", L"Toggle full repeat failed, response: ",
     false},
    {"default resistance", ApplyDefaultResistance, 0x15, L"Default resistance updated.",
     L"Updating default resistance failed, response: ", false},
    {"max brightness", ApplyMaxBrightness, 0x07, L"Max brightness set.", L"Max brightness set failed, response: ",
     true},
};

void Prepare(ConnectedApp& t) {
    t.view.setText(IDC_IR_CODE, L"0x44");
    t.view.setText(IDC_IR_PERIOD, L"200");
    t.view.setText(IDC_MAX_BRIGHTNESS, L"40");
    t.view.comboSelect(IDC_RA_DEFAULT, 3);
    t.view.comboSelect(IDC_RB_DEFAULT, 1);
}

TEST(Handlers, ARefusalShowsTheCodeAndReadsNothingBack) {
    for (const Handler& h : kHandlers) {
        for (std::uint8_t code : {1, 2, 255}) {
            SCOPED_TRACE(std::string(h.name) + " refused with " + std::to_string(code));
            ConnectedApp t;
            Prepare(t);
            const HeldSettings held{80, false, 300, 0x0001};
            t.app.held = held;
            t.module.addFault(Refusal(h.command, code));
            h.run(t.app);
            EXPECT_EQ(t.status(), h.failure + std::to_wstring(code));
            EXPECT_EQ(t.module.exchangeCount(), 1u);
            EXPECT_EQ(t.requests()[0][0], h.command);
            EXPECT_EQ(t.app.held, held);
            EXPECT_TRUE(t.app.link.connected);
        }
    }
}

TEST(Handlers, SuccessShowsItsText) {
    for (const Handler& h : kHandlers) {
        SCOPED_TRACE(h.name);
        ConnectedApp t;
        Prepare(t);
        h.run(t.app);
        EXPECT_EQ(t.status(), h.success);
        EXPECT_EQ(t.requests()[0][0], h.command);
    }
}

TEST(Handlers, LoadAndResetReadEverythingBack) {
    for (const Handler& h : {kHandlers[1], kHandlers[2]}) {
        SCOPED_TRACE(h.name);
        ModuleConfig c = FactoryConfig();
        c.maxBrightness = 20;
        c.irRepeatPeriod = 999;
        ConnectedApp t(c);
        h.run(t.app);
        EXPECT_EQ(t.requests(), Requests({{h.command}, {0x08}, {0x11}, {0x14}, {0x12}, {0x00}}));
        EXPECT_EQ(t.app.held.g_maxBrightness, t.module.config().maxBrightness);
        EXPECT_EQ(t.app.held.g_irRepeatPeriod, t.module.config().irRepeatPeriod);
        EXPECT_EQ(t.app.page.mediaActions, t.module.config().media);
    }
}

TEST(Handlers, StoreCommandsAndTypedValuesNeedAConnection) {
    for (const Handler& h : kHandlers) {
        if (!h.checksConnection) continue;
        SCOPED_TRACE(h.name);
        ConnectedApp t;
        Prepare(t);
        t.app.link.connected = false;
        h.run(t.app);
        EXPECT_EQ(t.status(), L"Not connected.");
        EXPECT_EQ(t.module.exchangeCount(), 0u);
    }
}

TEST(FullRepeat, TheBoxFlipsAtOnceAndKeepsItsStateWhateverTheAnswer) {
    ConnectedApp t;
    ToggleIrFullRepeat(t.app);
    EXPECT_TRUE(t.view.isChecked(IDC_FULL_REPEAT));
    ToggleIrFullRepeat(t.app);
    EXPECT_FALSE(t.view.isChecked(IDC_FULL_REPEAT));
    EXPECT_EQ(t.requests(), Requests({{0x0F, 0x01}, {0x0F, 0x00}}));

    t.module.addFault(Refusal(0x0F, 3));
    ToggleIrFullRepeat(t.app);
    EXPECT_TRUE(t.view.isChecked(IDC_FULL_REPEAT));
    EXPECT_EQ(t.status(), L"Toggle full repeat failed, response: 3");
    EXPECT_FALSE(t.app.held.g_irFullRepeat);
}

TEST(DefaultResistance, BothSelectionsAreSentAndHeld) {
    const struct { int ra, rb; std::vector<std::uint8_t> request; } cases[] = {
        {3, 1, {0x15, 0x04, 0x80}},
        {0, 0, {0x15, 0x00, 0x00}},
        {15, 0, {0x15, 0x00, 0x40}},
        {0, 1, {0x15, 0x00, 0x80}},
    };
    for (const auto& c : cases) {
        ConnectedApp t;
        t.view.comboSelect(IDC_RA_DEFAULT, c.ra);
        t.view.comboSelect(IDC_RB_DEFAULT, c.rb);
        ApplyDefaultResistance(t.app);
        EXPECT_EQ(t.requests(), Requests({c.request}));
        const auto value = static_cast<std::uint16_t>(c.request[1] | c.request[2] << 8);
        EXPECT_EQ(t.app.held.g_defaultResistors, value);
        EXPECT_EQ(t.module.config().defaultResistance, value);
        EXPECT_EQ(t.status(), L"Default resistance updated.");
    }
}

TEST(DefaultResistance, AMissingSelectionSendsNothing) {
    for (const auto& [ra, rb] : {std::pair{3, -1}, std::pair{-1, 1}, std::pair{-1, -1}}) {
        ConnectedApp t;
        t.view.comboSelect(IDC_RA_DEFAULT, ra);
        t.view.comboSelect(IDC_RB_DEFAULT, rb);
        ApplyDefaultResistance(t.app);
        EXPECT_EQ(t.status(), L"Selection error");
        EXPECT_EQ(t.module.exchangeCount(), 0u);
    }
}

TEST(TransportFailures, OnlyMaxBrightnessCatchesItsOwn) {
    ConnectedApp t;
    t.view.setText(IDC_MAX_BRIGHTNESS, L"40");
    t.module.addFault(Silent(0x07));
    RunGuarded(t.app, [&] { ApplyMaxBrightness(t.app); });
    EXPECT_EQ(t.status(), L"Max brightness set failed (exception).");
    EXPECT_TRUE(t.app.link.connected);

    t.view.setText(IDC_IR_PERIOD, L"200");
    t.module.addFault(Silent(0x10));
    EXPECT_THROW(ApplyIrRepeatPeriod(t.app), ProtocolError);
    t.module.addFault(Silent(0x10));
    RunGuarded(t.app, [&] { ApplyIrRepeatPeriod(t.app); });
    EXPECT_EQ(t.status(), L"Protocol error occured: Fewer bytes than expected.");
    EXPECT_TRUE(t.app.link.connected);
}

TEST(TransportFailures, AHangUpEscapesAsASerialError) {
    ConnectedApp t;
    t.module.hangUpAfter(0);
    RunGuarded(t.app, [&] { SaveModuleConfig(t.app); });
    EXPECT_FALSE(t.app.link.connected);
    EXPECT_EQ(t.status().rfind(L"Serial error occured: ", 0), 0u) << ToUtf8(t.status());
}

}  // namespace
