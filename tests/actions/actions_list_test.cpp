#include "actions/actions_list.h"

#include <gtest/gtest.h>

#include "actions/catalogues.h"
#include "tests/app/app_harness.h"

namespace {

const std::wstring V = CheckMark;
const std::wstring kRa12 = L"1.2 k\u2126";
const std::wstring kOhm22 = L"22 \u2126";

template <class R>
R Record(std::uint16_t button, std::uint32_t ir, std::uint8_t lines, std::uint8_t flags, std::uint16_t resistors) {
    return MakeRecord<R>({button, ir, lines, flags, resistors});
}

TEST(ActionColumns, SeventeenTitlesWidthsAndAlignments) {
    AppHarness h;
    const auto& columns = h.view.listColumns();
    ASSERT_EQ(columns.size(), 17u);
    const std::vector<std::wstring> titles = {L"Index", L"Button", L"IR", L"Repeat", L"L1", L"L2", L"L3", L"L4", L"H1",
                                              L"H2", L"H3", L"H4", L"Toggle", L"Invert", L"Store", L"RA", L"RB"};
    const std::vector<int> widths = {60, 100, 100, 50, 30, 30, 30, 30, 30, 30, 30, 30, 50, 50, 50, 50, 50};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(columns[i].title, titles[i]);
        EXPECT_EQ(columns[i].width, widths[i]);
        const bool centred = i >= 3 && i <= 14;
        EXPECT_EQ(columns[i].align, centred ? ColumnAlign::Centre : ColumnAlign::Left);
    }
    // Rebuilding never piles up columns.
    SetupActionColumns(h.app);
    FillActionList(h.app);
    EXPECT_EQ(h.view.listColumns().size(), 17u);
}

TEST(ActionRows, AMediaRowShowsEveryField) {
    ModuleConfig config;
    config.media = {Record<MediaAction>(0x15, 0x0, 0x11, 0x0B, 0x8001)};
    AppHarness h(config);
    h.connect();
    ASSERT_EQ(h.view.listRowCount(), 1);
    EXPECT_EQ(h.view.listRow(0), (std::vector<std::wstring>{L"0", L"Next (0x15)", L"0x0", V, V, L"", L"", L"", V, L"",
                                                           L"", L"", V, V, L"", kRa12, kOhm22}));
}

TEST(ActionRows, ButtonTextsOfEachTable) {
    ModuleConfig config;
    config.gears = {Record<GearAction>(0, 0xABC, 0, 0, 0), Record<GearAction>(0x1C, 10, 0, 0, 0)};
    config.horn = {Record<HornAction>(1, 0, 0, 0, 0x0003)};
    config.acc = {Record<AccAction>(0x0100, 0, 0, 0, 0), Record<AccAction>(0x0040, 0, 0, 0, 0)};
    AppHarness h(config);
    h.connect();
    struct Expect {
        int tab, row;
        std::vector<std::wstring> firstCells;  // index, button, IR
        std::wstring ra;
    };
    const Expect expectations[] = {
        {Gears, 0, {L"0", L" (0x00)", L"0xABC"}, L""},
        {Gears, 1, {L"1", L"0x1C", L"0xA"}, L""},
        {Horn, 0, {L"0", L" Horn  (0x01)", L"0x0"}, L""},  // RA 0x0003 names no entry
        {Acc, 0, {L"0", L"Set (0x0100)", L"0x0"}, L""},
        {Acc, 1, {L"1", L"0x0040", L"0x0"}, L""},
    };
    for (const auto& e : expectations) {
        SCOPED_TRACE(e.tab * 10 + e.row);
        h.view.tabSelect(e.tab);
        HandleTabChange(h.app);
        const auto cells = h.view.listRow(e.row);
        EXPECT_EQ(std::vector<std::wstring>(cells.begin(), cells.begin() + 3), e.firstCells);
        EXPECT_EQ(cells[15], e.ra);
    }
}

struct TabCase {
    int tab;
    std::uint8_t command;
    std::wstring loaded;
};
// Without a printer of its own, gtest shows a parameter byte by byte, padding
// included, and valgrind reports the padding as uninitialised.
void PrintTo(const TabCase& c, std::ostream* os) { *os << "tab " << c.tab; }

class TabSwitch : public testing::TestWithParam<TabCase> {};

TEST_P(TabSwitch, ReadsTheTableWhileConnected) {
    AppHarness h;
    h.connect();
    h.view.tabSelect(GetParam().tab);
    HandleTabChange(h.app);
    EXPECT_EQ(h.app.page.currentTable, static_cast<std::uint32_t>(GetParam().tab));
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{GetParam().command}}));
    EXPECT_EQ(h.status(), GetParam().loaded);
    const ModuleConfig c = h.module.config();
    const std::size_t sizes[] = {c.media.size(), c.gears.size(), c.horn.size(), c.acc.size()};
    EXPECT_EQ(static_cast<std::size_t>(h.view.listRowCount()), sizes[GetParam().tab]);
    EXPECT_EQ(HeldRowCount(h.app.page, GetParam().tab), sizes[GetParam().tab]);
}

INSTANTIATE_TEST_SUITE_P(Tables, TabSwitch,
                         testing::Values(TabCase{Media, cmd::getMediaActions, L"Media actions loaded."},
                                         TabCase{Gears, cmd::getGearActions, L"Gear actions loaded."},
                                         TabCase{Horn, cmd::getHornActions, L"Horn actions loaded."},
                                         TabCase{Acc, cmd::getAccActions, L"ACC actions loaded."}));

TEST(TabSwitch, AnEmptyTableShowsHeadersOnly) {
    ModuleConfig config = FactoryConfig();
    config.acc.clear();
    AppHarness h(config);
    h.connect();
    h.view.tabSelect(Acc);
    HandleTabChange(h.app);
    EXPECT_EQ(h.view.listColumns().size(), 17u);
    EXPECT_EQ(h.view.listRowCount(), 0);
    EXPECT_EQ(h.status(), L"ACC actions loaded.");
}

TEST(TabSwitch, WhileDisconnectedShowsHeldRowsAndSendsNothing) {
    AppHarness h;
    h.app.page.hornActions = {Record<HornAction>(1, 0x77, 0, 0, 0), Record<HornAction>(0, 0, 0, 0, 0)};
    SetStatusText(h.app, L"before");
    h.view.tabSelect(Horn);
    HandleTabChange(h.app);
    EXPECT_EQ(h.view.listRowCount(), 2);
    EXPECT_EQ(h.view.listCell(0, 2), L"0x77");
    EXPECT_EQ(h.status(), L"before");
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST(TabSwitch, NoSelectionCountsAsMedia) {
    AppHarness h;
    h.app.page.mediaActions = {Record<MediaAction>(0x16, 0, 0, 0, 0)};
    h.view.tabSelect(Gears);
    HandleTabChange(h.app);
    h.view.tabSelect(-1);
    HandleTabChange(h.app);
    EXPECT_EQ(h.app.page.currentTable, static_cast<std::uint32_t>(Media));
    EXPECT_EQ(h.view.listCell(0, 1), L"Previous (0x16)");
}

TEST(TabSwitch, AFailingReadShowsTheHeldRowsOfTheNewTable) {
    AppHarness h;
    h.connect();
    const std::vector<GearAction> held = {Record<GearAction>(0x42, 0, 0, 0, 0)};
    h.app.page.gearActions = held;
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getGearActions, .afterBytes = 3});
    h.view.tabSelect(Gears);
    HandleTabChange(h.app);
    EXPECT_EQ(h.status(), L"Get actions failed (exception).");
    EXPECT_EQ(h.app.page.gearActions, held);
    ASSERT_EQ(h.view.listRowCount(), 1);
    EXPECT_EQ(h.view.listCell(0, 1), L"0x42");
    EXPECT_TRUE(h.app.link.connected);
}

TEST(LoadCurrentActions, AFailingReadKeepsTheOldRows) {
    AppHarness h;
    h.connect();
    const auto before = h.app.page.mediaActions;
    const auto shown = h.view.listRow(1);
    ModuleConfig changed = h.module.config();
    changed.media[1] = Record<MediaAction>(0x07, 0xDEAD, 0, 0, 0);
    h.module.setConfig(changed);
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getMediaActions, .afterBytes = 12});
    LoadCurrentActions(h.app);
    EXPECT_EQ(h.status(), L"Get actions failed (exception).");
    EXPECT_EQ(h.app.page.mediaActions, before);
    EXPECT_EQ(h.view.listRow(1), shown);

    LoadCurrentActions(h.app);
    EXPECT_EQ(h.status(), L"Media actions loaded.");
    EXPECT_EQ(h.view.listCell(1, 1), L"OK (0x07)");
}

TEST(LoadCurrentActions, ADeadLineIsReportedWithoutDisconnecting) {
    AppHarness h;
    h.connect();
    h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::getMediaActions});
    HandleTabChange(h.app);
    EXPECT_EQ(h.status(), L"Get actions failed (exception).");
    EXPECT_TRUE(h.app.link.connected);
    EXPECT_EQ(h.view.getText(IDC_CONNECT), L"Disconnect");
}

TEST(ReloadAllActions, ReadsTheFourTablesInOrderQuietly) {
    AppHarness h;
    h.connect();
    h.app.page.mediaActions.clear();
    h.app.page.gearActions.clear();
    h.app.page.hornActions.clear();
    h.app.page.accActions.clear();
    SetStatusText(h.app, L"before");
    EXPECT_TRUE(ReloadAllActions(h.app));
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{0}, {11}, {10}, {9}}));
    const ModuleConfig c = h.module.config();
    EXPECT_EQ(h.app.page.mediaActions, c.media);
    EXPECT_EQ(h.app.page.gearActions, c.gears);
    EXPECT_EQ(h.app.page.hornActions, c.horn);
    EXPECT_EQ(h.app.page.accActions, c.acc);
    EXPECT_EQ(h.status(), L"before");
}

TEST(ReloadAllActions, AFailureHalfWayKeepsTheTablesAlreadyRead) {
    AppHarness h;
    h.connect();
    const std::vector<HornAction> oldHorn = {Record<HornAction>(9, 9, 9, 9, 9)};
    const std::vector<AccAction> oldAcc = {Record<AccAction>(8, 8, 8, 8, 8)};
    h.app.page.mediaActions.clear();
    h.app.page.gearActions.clear();
    h.app.page.hornActions = oldHorn;
    h.app.page.accActions = oldAcc;
    const auto shown = h.view.listRowCount();
    h.module.addFault({.kind = FaultKind::Silence, .command = cmd::getHornActions});
    EXPECT_FALSE(ReloadAllActions(h.app));
    EXPECT_EQ(h.status(), L"Loading actions from device failed (exception).");
    const ModuleConfig c = h.module.config();
    EXPECT_EQ(h.app.page.mediaActions, c.media);
    EXPECT_EQ(h.app.page.gearActions, c.gears);
    EXPECT_EQ(h.app.page.hornActions, oldHorn);
    EXPECT_EQ(h.app.page.accActions, oldAcc);
    EXPECT_EQ(h.requests(), (std::vector<Bytes>{{0}, {11}, {10}}));
    EXPECT_EQ(h.view.listRowCount(), shown);  // the list is not refilled
    EXPECT_TRUE(h.app.link.connected);
}

}  // namespace
