// The actions list: reading tables, editing cells, writing every table.
#include <array>
#include <tuple>

#include "actions/action_writes.h"
#include "app/status_line.h"
#include "app/status_words.h"
#include "tests/app/app_harness.h"

namespace {

const std::wstring V = CheckMark;

// n rows whose bytes all differ, from a seed.
template <class R>
void Fill(std::vector<R>& rows, std::size_t n, std::uint8_t seed) {
    rows.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t b = 0; b < R::kSize; ++b) rows[i].bytes[b] = static_cast<std::uint8_t>(seed + 17 * i + 3 * b);
}

// A module with room for so many rows in each table; slots past them are refused.
ModuleConfig Room(std::size_t m, std::size_t g, std::size_t h, std::size_t a) {
    return {std::vector<MediaAction>(m), std::vector<GearAction>(g), std::vector<HornAction>(h), std::vector<AccAction>(a), {}};
}

// A small known Media and ACC table, for checking each commit byte for byte.
const ActionFields kMedia0{0x16, 0x11223344, 0x81, 0x09, 0x8004};  // Previous, RA 3.9 k, RB 22
const ActionFields kMedia1{0x15, 0xA, 0x00, 0x00, 0x0001};         // Next, RA 1.2 k

Bytes MediaWrite(std::uint8_t slot, const ActionFields& fields) {
    return RecordRequest(cmd::setMediaAction, slot, MakeRecord<MediaAction>(fields));
}

class Editing : public testing::Test {
protected:
    static ModuleConfig config() {
        ModuleConfig c = FactoryConfig();
        c.media = {MakeRecord<MediaAction>(kMedia0), MakeRecord<MediaAction>(kMedia1), MediaAction{}};
        c.acc = {MakeRecord<AccAction>({0x0100, 0x55, 0x02, 0x04, 0x4000})};
        return c;
    }
    void SetUp() override { h.connect(); }
    void edit(int row, int column, const std::wstring& typed, bool commit = true) {
        HandleListDoubleClick(app, row, column);
        column == kIrColumn ? view.typeIntoIrEditor(typed) : view.typeIntoComboEditor(typed);
        column == kIrColumn ? EndIrEdit(app, commit) : EndComboEdit(app, commit);
    }

    AppHarness h{config()};
    MemoryView& view = h.view;
    App& app = h.app;
};

// Each tab reads its table while connected; then, on Media, a read cut short or
// hung up keeps the old rows, held and shown, and the connection.
TEST(ActionList, EachTabReadsItsTableWhileConnectedAndAFailingReadKeepsTheOldRows) {
    const std::tuple<int, std::uint8_t, std::wstring> rows[] = {
        {Gears, cmd::getGearActions, L"Gear actions loaded."}, {Horn, cmd::getHornActions, L"Horn actions loaded."},
        {Acc, cmd::getAccActions, L"ACC actions loaded."}, {Media, cmd::getMediaActions, L"Media actions loaded."}};
    ModuleConfig config = FactoryConfig();
    config.acc.clear();
    config.media[0] = MakeRecord<MediaAction>({0x15, 0x0, 0x11, 0x0B, 0x8001});
    AppHarness h(config);
    h.connect();
    const std::size_t sizes[] = {config.media.size(), config.gears.size(), config.horn.size(), 0};
    for (const auto& [tab, command, loaded] : rows) {
        h.module.clearExchanges();
        h.view.tabSelect(tab);
        HandleTabChange(h.app);
        EXPECT_EQ(h.requests(), (Requests{{command}}));
        EXPECT_EQ(h.status(), loaded);
        EXPECT_EQ(static_cast<std::size_t>(h.view.listRowCount()), sizes[tab]);
        EXPECT_EQ(h.view.listColumns().size(), 17u);  // the empty ACC table too
    }
    EXPECT_EQ(h.view.listRow(0), (Texts{L"0", L"Next (0x15)", L"0x0", V, V, L"", L"", L"", V, L"", L"", L"", V, V, L"",
                                        L"1.2 k\u2126", L"22 \u2126"}));

    const auto held = h.app.module.held.media;
    const auto shown = h.view.listRow(1);
    config.media[1] = MakeRecord<MediaAction>({0x07, 0xDEAD, 0, 0, 0});
    h.module.setConfig(config);
    for (const Fault& fault : {Fault{.command = cmd::getMediaActions, .afterBytes = 12},
                               Fault{.kind = FaultKind::HangUp, .command = cmd::getMediaActions}}) {
        h.module.addFault(fault);
        LoadCurrentActions(h.app);
        EXPECT_EQ(h.status(), L"Get actions failed (exception).");
        EXPECT_EQ(h.app.module.held.media, held);
        EXPECT_EQ(h.view.listRow(1), shown);
        EXPECT_TRUE(h.app.module.link.connected);
    }
}

TEST(ActionList, ReloadAllReadsTheTablesInOrderAndKeepsThoseReadBeforeAFailure) {
    AppHarness h;
    h.connect();
    ModuleConfig& page = h.app.module.held;
    page.media.clear();
    page.horn = {MakeRecord<HornAction>({9, 9, 9, 9, 9})};
    page.acc = {MakeRecord<AccAction>({8, 8, 8, 8, 8})};
    const ModuleConfig old = page;
    const int shown = h.view.listRowCount();
    h.module.addFault({.command = cmd::getHornActions});
    ReloadAllActions(h.app);
    EXPECT_EQ(h.status(), L"Loading actions from device failed (exception).");
    const ModuleConfig c = h.module.config();
    EXPECT_EQ(std::tie(page.media, page.gears, page.horn, page.acc), std::tie(c.media, c.gears, old.horn, old.acc));
    EXPECT_EQ(h.view.listRowCount(), shown);  // the list is not refilled
    EXPECT_TRUE(h.app.module.link.connected);

    h.module.clearExchanges();
    ReloadAllActions(h.app);
    EXPECT_EQ(h.requests(), (Requests{{0}, {11}, {10}, {9}}));
    EXPECT_EQ(std::tie(page.media, page.gears, page.horn, page.acc), std::tie(c.media, c.gears, c.horn, c.acc));
    EXPECT_EQ(h.status(), L"Loading actions from device failed (exception).");  // success is quiet
}

TEST_F(Editing, DoubleClicksOpenTheEditorOfTheColumnAndASecondDiscardsTheFirst) {
    HandleListDoubleClick(app, 1, kButtonColumn);
    EXPECT_EQ(view.comboEditor().style, ComboEditorStyle::EditableDropDown);
    EXPECT_EQ(view.comboEditor().items.size(), 14u);
    EXPECT_EQ(view.comboEditor().text, L"Next (0x15)");
    view.typeIntoComboEditor(L"0x07");
    HandleListDoubleClick(app, 0, kRaColumn);
    EXPECT_EQ(view.comboEditor().style, ComboEditorStyle::DropDownList);
    EXPECT_EQ(view.comboEditor().selection, 3);  // opened on the cell's value
    HandleListDoubleClick(app, 0, kIrColumn);
    EXPECT_EQ(view.irEditor().text, L"0x11223344");
    view.typeIntoIrEditor(L"1");
    HandleListDoubleClick(app, 2, kIrColumn);
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    view.typeIntoIrEditor(L"2");
    HandleBackgroundPress(app, false);  // commits both editors
    EXPECT_FALSE(view.comboEditor().open || view.irEditor().open);
    EXPECT_EQ(h.requests(), (Requests{MediaWrite(0, kMedia0), MediaWrite(2, {0, 2, 0, 0, 0})}));
    EXPECT_EQ(view.listCell(1, kButtonColumn), L"Next (0x15)");

    for (auto [row, column] : {std::pair{1, 0}, {-1, 1}, {-1, 3}, {1, 17}}) HandleListDoubleClick(app, row, column);
    EXPECT_FALSE(view.comboEditor().open || view.irEditor().open);
}

TEST_F(Editing, CommitsSendTheRowInTheTablesFormAndFailuresRestoreTheCell) {
    const auto acc = [](std::uint16_t button) {
        return RecordRequest(cmd::setAccAction, 0, MakeRecord<AccAction>({button, 0x55, 2, 4, 0x4000}));
    };
    const std::tuple<int, int, std::wstring, std::wstring, std::wstring, Requests> rows[] = {
        {Media, kButtonColumn, L"21", L"Next (0x15)", L"Action updated", {MediaWrite(0, {0x15, 0, 0, 0, 0})}},
        {Media, kIrColumn, L"12abc", L"0xC", L"Action updated", {MediaWrite(0, {0, 12, 0, 0, 0})}},
        {Media, kButtonColumn, L"0xFF", L"0xFF", L"Action updated", {MediaWrite(0, {0xFF, 0, 0, 0, 0})}},
        {Media, kButtonColumn, L"256", L" (0x00)", L"Invalid Button.", {}},
        {Media, kIrColumn, L"abc", L"0x0", L"Invalid IR.", {}},
        {Acc, kButtonColumn, L"300", L"0x012C", L"Action updated", {acc(0x012C)}},
        {Acc, kButtonColumn, L"0xFFFF", L"0xFFFF", L"Action updated", {acc(0xFFFF)}},
        {Acc, kButtonColumn, L"65536", L"Set (0x0100)", L"Invalid Button.", {}},
    };
    for (const auto& [tab, column, typed, shown, status, sent] : rows) {  // on row 0, Media's emptied first
        ModuleConfig c = config();
        c.media[0] = {};
        h.module.setConfig(c);
        h.showTab(tab);
        edit(0, column, typed);
        EXPECT_EQ(view.listCell(0, column), shown) << typed;
        EXPECT_EQ(h.status(), status);
        EXPECT_EQ(h.requests(), sent);
    }
    h.showTab(Media);
    edit(1, kButtonColumn, L"0x07", false);
    edit(1, kIrColumn, L"0x99", false);
    EXPECT_EQ(view.listCell(1, kButtonColumn), L"Next (0x15)");
    EXPECT_EQ(view.listCell(1, kIrColumn), L"0xA");
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

TEST_F(Editing, FailedSendsKeepTheRecordRestoreAnEditedCellLeaveAToggleFlipped) {
    h.module.addFault({.kind = FaultKind::Refuse, .command = cmd::setMediaAction, .status = 5, .times = 2});
    edit(1, kIrColumn, L"0x77");
    EXPECT_EQ(h.status(), L"Updating action failed, response: 5");
    EXPECT_EQ(view.listCell(1, kIrColumn), L"0xA");
    EXPECT_EQ(FieldsOf(app.module.held.media[1]).irCode, 0x77u);
    HandleListDoubleClick(app, 0, kToggleColumn);
    EXPECT_EQ(view.listCell(0, kToggleColumn), L"");
    EXPECT_EQ(FieldsOf(app.module.held.media[0]).flags, 0x08);
    EXPECT_EQ(h.module.config().media, config().media);
    HandleListDoubleClick(app, 0, kFirstLineColumn);  // accepted: L1 was set
    EXPECT_EQ(h.requests().back(), MediaWrite(0, {0x16, 0x11223344, 0x80, 0x08, 0x8004}));
    h.module.addFault({.kind = FaultKind::HangUp, .command = cmd::setMediaAction});
    EXPECT_FALSE(setAction(app, 1));
    EXPECT_EQ(h.status(), L"setAction failed (exception).");
    EXPECT_TRUE(app.module.link.connected);
}

TEST_F(Editing, SetActionRefusesABadCellBeforeSending) {
    // The checks run IR, RA, RB, Button: the first failing one speaks.
    const std::pair<std::vector<std::pair<int, std::wstring>>, std::wstring> rows[] = {
        {{{kIrColumn, L""}}, L"Invalid IR."}, {{{kRaColumn, L"1.2 kohm"}}, L"Invalid RA."},
        {{{kRaColumn, L"1.2 k\u03A9"}}, L"Invalid RA."}, {{{kRbColumn, L"22"}}, L"Invalid RB."},
        {{{kButtonColumn, L"next"}}, L"Invalid Button."}, {{{kButtonColumn, L"x (0x100)"}}, L"Invalid Button."},
        {{{kRaColumn, L"?"}, {kIrColumn, L""}}, L"Invalid IR."},
        {{{kRbColumn, L"?"}, {kRaColumn, L"?"}}, L"Invalid RA."},
        {{{kButtonColumn, L"?"}, {kRbColumn, L"?"}}, L"Invalid RB."},
    };
    const auto held = app.module.held.media;
    for (const auto& [cells, status] : rows) {
        FillActionList(app);
        for (const auto& [column, text] : cells) view.listSetCell(1, column, text);
        const auto shown = view.listRow(1);
        EXPECT_FALSE(setAction(app, 1));
        EXPECT_EQ(h.status(), status);
        EXPECT_EQ(view.listRow(1), shown);
    }
    EXPECT_EQ(h.module.exchangeCount(), 0u);
    EXPECT_EQ(app.module.held.media, held);
}

TEST(ActionList, WhileDisconnectedTabsShowHeldRowsAndRowsFrom255OnAreNotEditable) {
    AppHarness h;
    h.app.module.held.horn = {MakeRecord<HornAction>({1, 0x77, 0, 0, 0})};
    h.app.module.held.media.assign(300, MakeRecord<MediaAction>({0x15, 1, 0, 0, 0}));
    SetStatusText(h.app, L"before");
    h.view.tabSelect(Horn);
    HandleTabChange(h.app);
    EXPECT_EQ(h.view.listRow(0)[kIrColumn], L"0x77");
    h.view.tabSelect(Media);
    HandleTabChange(h.app);
    EXPECT_EQ(h.view.listRowCount(), 300);
    for (int column : {1, 2, 3, 15}) HandleListDoubleClick(h.app, 255, column);
    EXPECT_FALSE(h.view.irEditor().open || h.view.comboEditor().open);
    EXPECT_EQ(h.view.listCell(255, 3), L"");
    HandleListDoubleClick(h.app, 254, 2);
    EXPECT_TRUE(h.view.irEditor().open);
    EXPECT_EQ(h.status(), L"before");
    EXPECT_EQ(h.module.exchangeCount(), 0u);
}

// The module's room, the held rows of each table, whether the module hangs up after
// the first row, then the exchanges made and the outcome: every held row sent in
// table order, or a stop at the first failure that says where, the line kept; a
// table longer than the wire can address is refused before anything is sent.
TEST(WriteAll, SendsEveryHeldRowInOrderOrStopsWhereItFailsKeepingTheLine) {
    using Lengths = std::array<std::size_t, kTableCount>;
    const Lengths held{3, 4, 1, 2};
    const std::wstring written = L"All actions written to device.",
                       tooLong = L" table has more than 255 rows; nothing written.";
    const std::tuple<ModuleConfig, Lengths, bool, std::size_t, OutcomeKind, std::uint32_t, std::size_t, std::wstring>
        rows[] = {
            {Room(1, 4, 1, 2), held, false, 2, OutcomeKind::Refused, Media, 1, L"Failed writing media action 1"},
            {Room(3, 3, 1, 2), held, false, 7, OutcomeKind::Refused, Gears, 3, L"Failed writing gear action 3"},
            {Room(3, 4, 0, 2), held, false, 8, OutcomeKind::Refused, Horn, 0, L"Failed writing horn action 0"},
            {Room(3, 4, 1, 1), held, false, 10, OutcomeKind::Refused, Acc, 1, L"Failed writing ACC action 1"},
            {Room(3, 4, 1, 2), held, true, 1, OutcomeKind::SerialError, Media, 1,
             L"Writing actions to device failed (exception)."},
            {Room(255, 1, 1, 1), {256, 1, 1, 1}, false, 0, OutcomeKind::InvalidInput, Media, 0, L"Media" + tooLong},
            {Room(255, 1, 1, 1), {1, 256, 1, 1}, false, 0, OutcomeKind::InvalidInput, Gears, 0, L"Gears" + tooLong},
            {Room(255, 1, 1, 1), {1, 1, 256, 1}, false, 0, OutcomeKind::InvalidInput, Horn, 0, L"Horn" + tooLong},
            {Room(255, 1, 1, 1), {1, 1, 1, 300}, false, 0, OutcomeKind::InvalidInput, Acc, 0, L"ACC" + tooLong},
            {Room(255, 1, 0, 2), {255, 1, 0, 2}, false, 258, OutcomeKind::Done, 0, 0, written},
            {Room(0, 0, 0, 0), {0, 0, 0, 0}, false, 0, OutcomeKind::Done, 0, 0, written},
        };
    for (const auto& [room, lengths, hangUp, sent, kind, table, row, status] : rows) {
        AppHarness h(room);
        h.connect();
        ModuleConfig& page = h.app.module.held;
        std::uint8_t seed = 1;
        ForEachTable(page, [&](const TableInfo& t, auto& rows) { Fill(rows, lengths[t.id], seed++); });
        if (hangUp) h.module.hangUpAfter(1);
        const Outcome outcome = WriteAllActions(h.app.module);
        EXPECT_EQ(outcome.kind, kind);
        EXPECT_EQ(StatusText(outcome), status);
        EXPECT_EQ(h.module.exchangeCount(), sent);
        EXPECT_TRUE(IsConnected(h.app.module));
        if (Succeeded(outcome)) {
            Requests expected;  // every held row in table order, exactly as held
            const std::uint8_t commands[] = {cmd::setMediaAction, cmd::setGearAction, cmd::setHornAction,
                                             cmd::setAccAction};
            ForEachTable(page, [&](const TableInfo& t, const auto& rows) {
                for (std::size_t i = 0; i < rows.size(); ++i)
                    expected.push_back(RecordRequest(commands[t.id], static_cast<std::uint8_t>(i), rows[i]));
            });
            EXPECT_EQ(h.requests(), expected);
            EXPECT_EQ(h.module.config(), page);
        } else {
            EXPECT_EQ(std::tie(outcome.table, outcome.row), std::tie(table, row));
        }
    }
}

}  // namespace
