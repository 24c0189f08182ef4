#include <gtest/gtest.h>

#include "tests/actions/edit_fixture.h"

namespace {

struct BadCell {
    const char* name;
    std::vector<std::pair<int, std::wstring>> cells;  // column, text written before setAction
    std::wstring status;
};
// Without a printer of its own, gtest shows a parameter byte by byte, padding
// included, and valgrind reports the padding as uninitialised.
void PrintTo(const BadCell& c, std::ostream* os) { *os << c.name; }

class SetActionValidation : public Editing, public testing::WithParamInterface<BadCell> {};

TEST_P(SetActionValidation, RefusesBeforeSendingAndChangesNothing) {
    const auto heldBefore = app.page.mediaActions;
    for (const auto& [column, text] : GetParam().cells) view.listSetCell(1, column, text);
    const auto shown = view.listRow(1);
    EXPECT_FALSE(setAction(app, 1));
    EXPECT_EQ(h.status(), GetParam().status);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    EXPECT_EQ(app.page.mediaActions, heldBefore);
    EXPECT_EQ(view.listRow(1), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SetActionValidation,
    testing::Values(BadCell{"EmptyIr", {{2, L""}}, L"Invalid IR."},
                    BadCell{"IrWithoutDigits", {{2, L"abc"}}, L"Invalid IR."},
                    BadCell{"RaNotAName", {{15, L"1.2 kohm"}}, L"Invalid RA."},
                    BadCell{"RaNameWithOmega", {{15, L"1.2 k\u03A9"}}, L"Invalid RA."},
                    BadCell{"RbNotAName", {{16, L"22"}}, L"Invalid RB."},
                    BadCell{"ButtonWithoutDigits", {{1, L"next"}}, L"Invalid Button."},
                    BadCell{"MediaButtonTooLarge", {{1, L"300"}}, L"Invalid Button."},
                    BadCell{"MediaButtonInParentheses", {{1, L"x (0x100)"}}, L"Invalid Button."},
                    // The checks run IR, RA, RB, Button: the first failing one speaks.
                    BadCell{"IrBeforeRa", {{15, L"?"}, {2, L""}}, L"Invalid IR."},
                    BadCell{"RaBeforeRb", {{16, L"?"}, {15, L"?"}}, L"Invalid RA."},
                    BadCell{"RbBeforeButton", {{1, L"?"}, {16, L"?"}}, L"Invalid RB."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Editing, ARowGoesOutAsOneRecordAndIsStored) {
    view.listSetCell(1, 4, L"1");       // L1, written as the digit
    view.listSetCell(1, 11, CheckMark);  // H4
    view.listSetCell(1, 14, CheckMark);  // Store
    EXPECT_TRUE(setAction(app, 1));
    EXPECT_EQ(h.status(), L"Action updated");
    const ActionFields sent{0x15, 0xA, 0x81, 0x04, 0x0001};
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(1, sent)}));
    EXPECT_EQ(FieldsOf(app.page.mediaActions[1]), sent);
    EXPECT_EQ(FieldsOf(h.module.config().media[1]), sent);
    EXPECT_EQ(view.listCell(1, 4), CheckMark);  // cells 1 to 14 are rewritten from the record
}

TEST_F(Editing, EditingClearsTheFlagBitsWithoutAColumn) {
    ModuleConfig config = h.module.config();
    config.media[0] = MakeRecord<MediaAction>({0x16, 1, 0, 0xF9, 0x0003});  // RA 0x0003 names no entry
    h.module.setConfig(config);
    LoadCurrentActions(app);
    h.module.clearExchanges();
    EXPECT_EQ(view.listCell(0, 15), L"");
    EXPECT_TRUE(setAction(app, 0));
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(0, {0x16, 1, 0, 0x09, 0x0000})}));
}

TEST_F(Editing, ARefusedRowIsStillStoredAndRewritten) {
    h.module.addFault({.kind = FaultKind::Refuse, .command = cmd::setMediaAction, .status = 3});
    view.listSetCell(1, 1, L"0x16");
    EXPECT_FALSE(setAction(app, 1));
    EXPECT_EQ(h.status(), L"Updating action failed, response: 3");
    EXPECT_EQ(view.listCell(1, 1), L"Previous (0x16)");
    EXPECT_EQ(FieldsOf(app.page.mediaActions[1]).button, 0x16);
    EXPECT_EQ(FieldsOf(h.module.config().media[1]), kMedia1);
}

TEST_F(Editing, ATransportFailureIsReportedWithoutDisconnecting) {
    h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::setMediaAction});
    EXPECT_FALSE(setAction(app, 1));
    EXPECT_EQ(h.status(), L"setAction failed (exception).");
    EXPECT_TRUE(app.link.connected);
    EXPECT_EQ(app.page.mediaActions[1], MakeRecord<MediaAction>(kMedia1));
}

struct ButtonCase {
    const char* name;
    int tab;
    std::wstring typed;
    std::wstring shown;
    std::uint16_t code;
};
void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.name; }

class TypedButton : public Editing, public testing::WithParamInterface<ButtonCase> {};

TEST_P(TypedButton, IsSentAndShownInTheTablesForm) {
    showTab(GetParam().tab);
    view.listSetCell(0, 1, GetParam().typed);
    EXPECT_TRUE(setAction(app, 0));
    EXPECT_EQ(view.listCell(0, 1), GetParam().shown);
    ASSERT_EQ(h.requests().size(), 1u);
    const Bytes request = h.requests()[0];
    const bool acc = GetParam().tab == Acc;
    EXPECT_EQ(request[2], GetParam().code & 0xFF);
    if (acc) {
        EXPECT_EQ(request[3], GetParam().code >> 8);
    }
    EXPECT_EQ(request.size(), acc ? 12u : 11u);
}

INSTANTIATE_TEST_SUITE_P(Tables, TypedButton,
                         testing::Values(ButtonCase{"MediaDecimal", Media, L"21", L"Next (0x15)", 0x15},
                                         ButtonCase{"MediaHex", Media, L"0x15", L"Next (0x15)", 0x15},
                                         ButtonCase{"MediaName", Media, L"Vol. up", L"Vol. up (0x10)", 0x10},
                                         ButtonCase{"MediaUnnamed", Media, L"0x30", L"0x30", 0x30},
                                         ButtonCase{"MediaEmpty", Media, L"", L" (0x00)", 0},
                                         ButtonCase{"GearsOctal", Gears, L"034", L"0x1C", 0x1C},
                                         ButtonCase{"HornName", Horn, L" Horn ", L" Horn  (0x01)", 1},
                                         ButtonCase{"Acc300", Acc, L"300", L"0x012C", 0x012C},
                                         ButtonCase{"AccLargest", Acc, L"65535", L"0xFFFF", 0xFFFF}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Editing, AnAccButtonAboveSixteenBitsIsRefused) {
    showTab(Acc);
    view.listSetCell(0, 1, L"65536");
    EXPECT_FALSE(setAction(app, 0));
    EXPECT_EQ(h.status(), L"Invalid Button.");
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

}  // namespace
