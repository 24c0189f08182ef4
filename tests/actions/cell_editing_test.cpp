#include <gtest/gtest.h>

#include "tests/actions/edit_fixture.h"

namespace {

const std::wstring kRa39 = L"3.9 k\u2126";

TEST_F(Editing, DoubleClicksOpenTheEditorOfTheColumn) {
    HandleListDoubleClick(app, 1, 1);
    ASSERT_TRUE(view.comboEditor().open);
    EXPECT_EQ(view.comboEditor().style, ComboEditorStyle::EditableDropDown);
    EXPECT_EQ(view.comboEditor().items.size(), 14u);
    EXPECT_EQ(view.comboEditor().items[2], L"Next (0x15)");
    EXPECT_EQ(view.comboEditor().text, L"Next (0x15)");

    HandleListDoubleClick(app, 0, 15);  // a second combo editor replaces the first, uncommitted
    EXPECT_EQ(view.comboEditor().style, ComboEditorStyle::DropDownList);
    EXPECT_EQ(view.comboEditor().items.size(), 16u);
    EXPECT_EQ(view.comboEditor().selection, 3);  // opened on the cell's value
    EXPECT_EQ((std::pair{app.page.comboRow, app.page.comboColumn}), (std::pair{0, 15}));

    HandleListDoubleClick(app, 2, 16);
    EXPECT_EQ(view.comboEditor().items, (std::vector<std::wstring>{L"", L"22 \u2126"}));
    EXPECT_EQ(view.comboEditor().selection, 0);

    HandleListDoubleClick(app, 0, 2);
    ASSERT_TRUE(view.irEditor().open);
    EXPECT_EQ(view.irEditor().text, L"0x11223344");
    EXPECT_TRUE(app.page.comboBox);  // both kinds can be open at once
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, ButtonCombosListTheCatalogueOfTheTable) {
    const std::pair<int, std::vector<std::wstring>> tables[] = {
        {Gears, {L" (0x00)"}},
        {Horn, {L" (0x00)", L" Horn  (0x01)"}},
        {Acc, {L" (0x0000)", L"On/Off (0x0010)", L"Cancel (0x0020)", L"Mode (0x0080)", L"Set (0x0100)",
               L"Plus (0x0200)", L"Minus (0x0400)", L"Res (0x0800)"}},
    };
    for (const auto& [tab, items] : tables) {
        showTab(tab);
        HandleListDoubleClick(app, 0, 1);
        EXPECT_EQ(view.comboEditor().items, items) << tab;
    }
}

TEST_F(Editing, CellsWithoutAnEditorDoNothing) {
    for (auto [row, column] : {std::pair{1, 0}, {-1, 1}, {-1, 3}, {1, 17}, {1, -1}}) HandleListDoubleClick(app, row, column);
    EXPECT_FALSE(view.comboEditor().open);
    EXPECT_FALSE(view.irEditor().open);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, ReturnInTheButtonComboCommitsTheTypedCode) {
    HandleListDoubleClick(app, 2, 1);
    view.typeIntoComboEditor(L"21");
    EndComboEdit(app, true);
    EXPECT_FALSE(view.comboEditor().open);
    EXPECT_FALSE(app.page.comboBox);
    EXPECT_EQ((std::pair{app.page.comboRow, app.page.comboColumn}), (std::pair{-1, -1}));
    EXPECT_EQ(view.listCell(2, 1), L"Next (0x15)");
    EXPECT_EQ(h.status(), L"Action updated");
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(2, {0x15, 0, 0, 0, 0})}));
}

TEST_F(Editing, PickingAResistorCommitsIt) {
    HandleListDoubleClick(app, 1, 15);
    view.pickComboItem(3);
    EndComboEdit(app, true);  // the list view's subclass does this on the selection change
    EXPECT_EQ(view.listCell(1, 15), kRa39);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(1, {0x15, 0xA, 0, 0, 0x0004})}));
}

TEST_F(Editing, EscapeLeavesCellAndModuleAlone) {
    HandleListDoubleClick(app, 1, 1);
    view.typeIntoComboEditor(L"0x07");
    EndComboEdit(app, false);
    HandleListDoubleClick(app, 1, 2);
    view.typeIntoIrEditor(L"0x99");
    EndIrEdit(app, false);
    EXPECT_EQ(view.listCell(1, 1), L"Next (0x15)");
    EXPECT_EQ(view.listCell(1, 2), L"0xA");
    EXPECT_FALSE(view.irEditor().open);
    EXPECT_EQ((std::pair{app.page.editRow, app.page.editColumn}), (std::pair{-1, -1}));
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, AnIrTextIsReadUpToItsFirstNonDigit) {
    HandleListDoubleClick(app, 1, 2);
    view.typeIntoIrEditor(L"12abc");
    EndIrEdit(app, true);
    EXPECT_EQ(view.listCell(1, 2), L"0xC");
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(1, {0x15, 12, 0, 0, 0x0001})}));
}

TEST_F(Editing, AFailedCommitRestoresTheEditedCell) {
    HandleListDoubleClick(app, 1, 2);
    view.typeIntoIrEditor(L"abc");
    EndIrEdit(app, true);
    EXPECT_EQ(h.status(), L"Invalid IR.");
    EXPECT_EQ(view.listCell(1, 2), L"0xA");

    HandleListDoubleClick(app, 1, 1);
    view.typeIntoComboEditor(L"300");
    EndComboEdit(app, true);
    EXPECT_EQ(h.status(), L"Invalid Button.");
    EXPECT_EQ(view.listCell(1, 1), L"Next (0x15)");
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, ARefusedCommitRestoresTheCellButKeepsTheRecord) {
    h.module.addFault({.kind = FaultKind::Refuse, .command = cmd::setMediaAction, .status = 5});
    HandleListDoubleClick(app, 1, 2);
    view.typeIntoIrEditor(L"0x77");
    EndIrEdit(app, true);
    EXPECT_EQ(h.status(), L"Updating action failed, response: 5");
    EXPECT_EQ(view.listCell(1, 2), L"0xA");
    EXPECT_EQ(FieldsOf(app.page.mediaActions[1]).irCode, 0x77u);
}

TEST_F(Editing, ATogglePutsTheCheckMarkAndSendsTheRow) {
    HandleListDoubleClick(app, 1, 3);  // Repeat
    EXPECT_EQ(view.listCell(1, 3), CheckMark);
    HandleListDoubleClick(app, 0, 4);  // L1 was set
    EXPECT_EQ(view.listCell(0, 4), L"");
    view.listSetCell(2, 12, L"1");
    HandleListDoubleClick(app, 2, 12);  // "1" reads as set and becomes the mark
    EXPECT_EQ(view.listCell(2, 12), CheckMark);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(1, {0x15, 0xA, 0, 0x08, 0x0001}),
                                               MediaWrite(0, {0x16, 0x11223344, 0x80, 0x09, 0x8004}),
                                               MediaWrite(2, {0, 0, 0, 0x01, 0})}));
}

TEST_F(Editing, ARefusedToggleStaysFlippedAndStored) {
    h.module.addFault({.kind = FaultKind::Refuse, .command = cmd::setMediaAction, .status = 2});
    HandleListDoubleClick(app, 1, 13);  // Invert
    EXPECT_EQ(view.listCell(1, 13), CheckMark);
    EXPECT_EQ(h.status(), L"Updating action failed, response: 2");
    EXPECT_EQ(FieldsOf(app.page.mediaActions[1]).flags, 0x02);
    EXPECT_EQ(FieldsOf(h.module.config().media[1]), kMedia1);
}

TEST_F(Editing, AToggleThatFailsValidationStaysFlipped) {
    view.listSetCell(1, 15, L"bogus");
    HandleListDoubleClick(app, 1, 5);
    EXPECT_EQ(h.status(), L"Invalid RA.");
    EXPECT_EQ(view.listCell(1, 5), CheckMark);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, ATabSwitchDiscardsOpenEditors) {
    HandleListDoubleClick(app, 1, 1);
    view.typeIntoComboEditor(L"0x07");
    HandleListDoubleClick(app, 1, 2);
    view.typeIntoIrEditor(L"0x99");
    h.view.tabSelect(Media);
    HandleTabChange(app);
    EXPECT_FALSE(view.comboEditor().open);
    EXPECT_FALSE(view.irEditor().open);
    EXPECT_FALSE(app.page.comboBox || app.page.editBox);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{cmd::getMediaActions}}));
    EXPECT_EQ(view.listCell(1, 1), L"Next (0x15)");
}

TEST_F(Editing, ABackgroundPressCommitsBothEditors) {
    HandleListDoubleClick(app, 1, 16);
    view.pickComboItem(1);
    HandleListDoubleClick(app, 0, 2);
    view.typeIntoIrEditor(L"5");
    HandleBackgroundPress(app, false);
    EXPECT_FALSE(app.page.comboBox || app.page.editBox);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(1, {0x15, 0xA, 0, 0, 0x8001}),
                                               MediaWrite(0, {0x16, 5, 0x81, 0x09, 0x8004})}));
}

TEST_F(Editing, APressOnTheComboEditorLeavesItOpen) {
    HandleListDoubleClick(app, 1, 1);
    HandleListDoubleClick(app, 0, 2);
    CommitOpenEditors(app, true);
    EXPECT_TRUE(view.comboEditor().open);
    EXPECT_FALSE(view.irEditor().open);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{MediaWrite(0, kMedia0)}));
}

TEST(LongTables, RowsPastTheOneByteIndexAreNotEditable) {
    AppHarness h;
    h.app.page.mediaActions.assign(300, MakeRecord<MediaAction>({0x15, 1, 0, 0, 0}));
    FillActionList(h.app);
    ASSERT_EQ(h.view.listRowCount(), 300);
    for (int column : {1, 2, 3, 14, 15, 16}) HandleListDoubleClick(h.app, 255, column);
    HandleListDoubleClick(h.app, 299, 2);
    EXPECT_FALSE(h.view.irEditor().open);
    EXPECT_FALSE(h.view.comboEditor().open);
    EXPECT_EQ(h.view.listCell(255, 3), L"");
    EXPECT_EQ(h.module.exchangeCount(), 0u);

    HandleListDoubleClick(h.app, 254, 2);
    EXPECT_TRUE(h.view.irEditor().open);
}

}  // namespace
