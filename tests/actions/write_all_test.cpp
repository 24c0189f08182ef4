#include "actions/write_all.h"

#include <gtest/gtest.h>

#include "tests/app/app_harness.h"

namespace {

template <class R>
std::vector<R> Rows(std::size_t n, std::uint8_t seed) {
    std::vector<R> rows;
    for (std::size_t i = 0; i < n; ++i) {
        R r;
        for (std::size_t b = 0; b < r.bytes.size(); ++b) r.bytes[b] = static_cast<std::uint8_t>(seed + 17 * i + 3 * b);
        rows.push_back(r);
    }
    return rows;
}

// A module whose tables have room for `n` rows each; slots past them are refused.
ModuleConfig Room(std::size_t media, std::size_t gears, std::size_t horn, std::size_t acc) {
    ModuleConfig c;
    c.media.resize(media);
    c.gears.resize(gears);
    c.horn.resize(horn);
    c.acc.resize(acc);
    return c;
}

template <class R>
void AppendWrites(std::vector<Bytes>& out, std::uint8_t command, const std::vector<R>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) out.push_back(RecordRequest(command, static_cast<std::uint8_t>(i), rows[i]));
}

class WriteAll : public testing::Test {
protected:
    void connect(ModuleConfig room) {
        h = std::make_unique<AppHarness>(std::move(room));
        h->connect();
    }
    std::unique_ptr<AppHarness> h;
};

TEST_F(WriteAll, SendsEveryHeldByteInTableOrder) {
    connect(Room(2, 1, 1, 2));
    ActionsPage& page = h->app.page;
    page.mediaActions = {MakeRecord<MediaAction>({0x15, 0x11223344, 0x81, 0xF9, 0x0003}),  // bits 4-7, odd RA
                         MakeRecord<MediaAction>({0x00, 0, 0, 0x40, 0x7FFF})};
    page.gearActions = Rows<GearAction>(1, 0x20);
    page.hornActions = Rows<HornAction>(1, 0x40);
    page.accActions = {MakeRecord<AccAction>({0x0040, 0xFFFFFFFF, 0xFF, 0xFF, 0xFFFF}), Rows<AccAction>(1, 0x60)[0]};
    const auto held = std::tuple(page.mediaActions, page.gearActions, page.hornActions, page.accActions);

    EXPECT_TRUE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), L"All actions written to device.");
    std::vector<Bytes> expected;
    AppendWrites(expected, cmd::setMediaAction, page.mediaActions);
    AppendWrites(expected, cmd::setGearAction, page.gearActions);
    AppendWrites(expected, cmd::setHornAction, page.hornActions);
    AppendWrites(expected, cmd::setAccAction, page.accActions);
    EXPECT_EQ(h->requests(), expected);
    EXPECT_EQ(expected[0], (Bytes{1, 0, 0x15, 0x44, 0x33, 0x22, 0x11, 0x81, 0xF9, 0x03, 0x00}));
    EXPECT_EQ(std::tuple(page.mediaActions, page.gearActions, page.hornActions, page.accActions), held);
    const ModuleConfig module = h->module.config();
    EXPECT_EQ(module.media, page.mediaActions);
    EXPECT_EQ(module.acc, page.accActions);
}

TEST_F(WriteAll, AllTablesEmptySendsNothing) {
    connect(Room(0, 0, 0, 0));
    ActionsPage& page = h->app.page;
    page.mediaActions.clear();
    EXPECT_TRUE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), L"All actions written to device.");
    EXPECT_EQ(h->module.exchangeCount(), 0u);
}

TEST_F(WriteAll, EmptyTablesAreSkipped) {
    connect(Room(0, 2, 0, 0));
    h->app.page.mediaActions.clear();
    h->app.page.gearActions = Rows<GearAction>(2, 1);
    EXPECT_TRUE(WriteAllActions(h->app));
    std::vector<Bytes> expected;
    AppendWrites(expected, cmd::setGearAction, h->app.page.gearActions);
    EXPECT_EQ(h->requests(), expected);
}

struct Refusal {
    const char* name;
    ModuleConfig room;  // the first slot past a table's room is refused
    std::size_t sent;
    std::wstring status;
};
// Without a printer of its own, gtest shows a parameter byte by byte, padding
// included, and valgrind reports the padding as uninitialised.
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class WriteAllRefusal : public WriteAll, public testing::WithParamInterface<Refusal> {};

TEST_P(WriteAllRefusal, StopsAtTheFirstRefusedRow) {
    connect(GetParam().room);
    ActionsPage& page = h->app.page;
    page.mediaActions = Rows<MediaAction>(3, 1);
    page.gearActions = Rows<GearAction>(4, 2);
    page.hornActions = Rows<HornAction>(1, 3);
    page.accActions = Rows<AccAction>(2, 4);
    EXPECT_FALSE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), GetParam().status);
    EXPECT_EQ(h->module.exchangeCount(), GetParam().sent);
    EXPECT_TRUE(h->app.link.connected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, WriteAllRefusal,
    testing::Values(Refusal{"Media", Room(1, 4, 1, 2), 2, L"Failed writing media action 1"},
                    Refusal{"Gears", Room(3, 3, 1, 2), 7, L"Failed writing gear action 3"},
                    Refusal{"Horn", Room(3, 4, 0, 2), 8, L"Failed writing horn action 0"},
                    Refusal{"Acc", Room(3, 4, 1, 1), 10, L"Failed writing ACC action 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteAll, ATransportFailureIsReportedWithoutDisconnecting) {
    connect(Room(3, 0, 0, 0));
    h->app.page.mediaActions = Rows<MediaAction>(3, 1);
    h->module.hangUpAfter(1);
    EXPECT_FALSE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), L"Writing actions to device failed (exception).");
    EXPECT_TRUE(h->app.link.connected);
    EXPECT_EQ(h->view.getText(IDC_CONNECT), L"Disconnect");
}

TEST_F(WriteAll, AShortReplyIsReportedTheSameWay) {
    connect(Room(3, 0, 0, 0));
    h->app.page.mediaActions = Rows<MediaAction>(3, 1);
    h->module.addFault({.kind = FaultKind::Silence, .command = cmd::setMediaAction});
    EXPECT_FALSE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), L"Writing actions to device failed (exception).");
    EXPECT_EQ(h->module.exchangeCount(), 1u);
}

struct LongTable {
    const char* name;
    int table;
    std::wstring status;
};
void PrintTo(const LongTable& c, std::ostream* os) { *os << c.name; }

class WriteAllLongTable : public WriteAll, public testing::WithParamInterface<LongTable> {};

TEST_P(WriteAllLongTable, IsRefusedBeforeAnythingIsSent) {
    connect(Room(1, 1, 1, 1));
    ActionsPage& page = h->app.page;
    page.mediaActions = Rows<MediaAction>(1, 1);
    page.gearActions = Rows<GearAction>(1, 1);
    page.hornActions = Rows<HornAction>(1, 1);
    page.accActions = Rows<AccAction>(1, 1);
    switch (GetParam().table) {
    case Media: page.mediaActions = Rows<MediaAction>(256, 1); break;
    case Gears: page.gearActions = Rows<GearAction>(256, 1); break;
    case Horn: page.hornActions = Rows<HornAction>(256, 1); break;
    default: page.accActions = Rows<AccAction>(300, 1); break;
    }
    EXPECT_FALSE(WriteAllActions(h->app));
    EXPECT_EQ(h->status(), GetParam().status);
    EXPECT_EQ(h->module.exchangeCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, WriteAllLongTable,
    testing::Values(LongTable{"Media", Media, L"Media table has more than 255 rows; nothing written."},
                    LongTable{"Gears", Gears, L"Gears table has more than 255 rows; nothing written."},
                    LongTable{"Horn", Horn, L"Horn table has more than 255 rows; nothing written."},
                    LongTable{"Acc", Acc, L"ACC table has more than 255 rows; nothing written."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteAll, AFullTableOf255RowsGoesOutWhole) {
    connect(Room(255, 0, 0, 0));
    h->app.page.mediaActions = Rows<MediaAction>(255, 7);
    EXPECT_TRUE(WriteAllActions(h->app));
    const auto requests = h->requests();
    ASSERT_EQ(requests.size(), 255u);
    EXPECT_EQ(requests.back(), RecordRequest(cmd::setMediaAction, 254, h->app.page.mediaActions[254]));
}

}  // namespace
