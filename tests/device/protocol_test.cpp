// The 22 commands through a pseudo-terminal and the virtual module: the exact
// request bytes on the wire, the handling of each reply shape, and the
// failure rules (no retry, no resynchronisation).
#include <gtest/gtest.h>

#include <functional>

#include "actions/records.h"
#include "module_line.h"

namespace {

ModuleConfig TestConfig() {
    ModuleConfig c = FactoryConfig();
    c.maxBrightness = 42;
    c.irFullRepeat = 1;
    c.irRepeatPeriod = 1000;
    c.defaultResistance = 0x8004;
    return c;
}

struct Protocol : ModuleLine {
    Protocol() : ModuleLine(TestConfig()) {}
};

// A record with every byte in use, the flag bits without a column included.
const Bytes kRecord9{0x15, 0x44, 0x33, 0x22, 0x11, 0x81, 0xF9, 0x04, 0x80};
const Bytes kRecord10{0x00, 0x01, 0x44, 0x33, 0x22, 0x11, 0x81, 0xF9, 0x04, 0x80};

template <class R>
R RecordOf(const Bytes& bytes) {
    R r;
    std::copy(bytes.begin(), bytes.end(), r.bytes.begin());
    return r;
}

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct CommandCase {
    const char* name;
    std::function<void(SerialLink&)> call;
    Bytes request;
};

const CommandCase kEveryCommand[] = {
    {"getMediaActions", [](SerialLink& l) { getMediaActions(l); }, {0}},
    {"setMediaAction", [](SerialLink& l) { setMediaAction(l, 3, RecordOf<MediaAction>(kRecord9)); },
     Concat({1, 3}, kRecord9)},
    {"getPressedButtons", [](SerialLink& l) { getPressedButtons(l); }, {2}},
    {"getCurrentBrightness", [](SerialLink& l) { getCurrentBrightness(l); }, {3}},
    {"saveConfig", [](SerialLink& l) { saveConfig(l); }, {4}},
    {"loadConfig", [](SerialLink& l) { loadConfig(l); }, {5}},
    {"sendIR", [](SerialLink& l) { sendIR(l, 0x12345678); }, {6, 120, 86, 52, 18}},
    {"setMaxBrightness", [](SerialLink& l) { setMaxBrightness(l, 100); }, {7, 100}},
    {"getMaxBrightness", [](SerialLink& l) { getMaxBrightness(l); }, {8}},
    {"getAccActions", [](SerialLink& l) { getAccActions(l); }, {9}},
    {"getHornActions", [](SerialLink& l) { getHornActions(l); }, {10}},
    {"getGearActions", [](SerialLink& l) { getGearActions(l); }, {11}},
    {"setAccAction", [](SerialLink& l) { setAccAction(l, 6, RecordOf<AccAction>(kRecord10)); },
     Concat({12, 6}, kRecord10)},
    {"setHornAction", [](SerialLink& l) { setHornAction(l, 0, RecordOf<HornAction>(kRecord9)); },
     Concat({13, 0}, kRecord9)},
    {"setGearAction", [](SerialLink& l) { setGearAction(l, 255, RecordOf<GearAction>(kRecord9)); },
     Concat({14, 255}, kRecord9)},
    {"setIRFullRepeat", [](SerialLink& l) { setIRFullRepeat(l, 1); }, {15, 1}},
    {"setIRRepeatPeriod 500", [](SerialLink& l) { setIRRepeatPeriod(l, 500); }, {16, 244, 1}},
    {"getIRFullRepeat", [](SerialLink& l) { getIRFullRepeat(l); }, {17}},
    {"getIRRepeatPeriod", [](SerialLink& l) { getIRRepeatPeriod(l); }, {18}},
    {"resetConfig", [](SerialLink& l) { resetConfig(l); }, {19}},
    {"getDefaultResistance", [](SerialLink& l) { getDefaultResistance(l); }, {20}},
    {"setDefaultResistance bits 0 and 15", [](SerialLink& l) { setDefaultResistance(l, 0x8001); }, {21, 1, 128}},
};

TEST_F(Protocol, EveryCommandSendsItsExactRequestInOneExchange) {
    ASSERT_EQ(std::size(kEveryCommand), 22u);
    for (std::size_t i = 0; i < std::size(kEveryCommand); ++i) {
        const CommandCase& c = kEveryCommand[i];
        SCOPED_TRACE(c.name);
        module.clearExchanges();
        c.call(link);
        ASSERT_EQ(requests(), std::vector<Bytes>{c.request});
        EXPECT_EQ(c.request[0], i) << "the table above is in command order";
        EXPECT_EQ(static_cast<int>(c.request.size()), 1 + RequestArgumentBytes(c.request[0]));
    }
    EXPECT_EQ(RequestArgumentBytes(22), -1);
    EXPECT_EQ(RequestArgumentBytes(255), -1);
}

struct QueryCase {
    const char* name;
    std::function<std::uint32_t(SerialLink&)> call;
    Bytes reply;
    std::uint32_t value;
};

TEST_F(Protocol, QueriesDecodeTheirReplies) {
    module.setPressed({}, 37);
    const QueryCase cases[] = {
        {"getCurrentBrightness", [](SerialLink& l) { return getCurrentBrightness(l); }, {37}, 37},
        {"getMaxBrightness", [](SerialLink& l) { return getMaxBrightness(l); }, {42}, 42},
        {"getIRFullRepeat", [](SerialLink& l) { return getIRFullRepeat(l); }, {1}, 1},
        {"getIRRepeatPeriod 232 3", [](SerialLink& l) { return getIRRepeatPeriod(l); }, {232, 3}, 1000},
        {"getDefaultResistance", [](SerialLink& l) { return getDefaultResistance(l); }, {0x04, 0x80}, 0x8004},
        {"queryByte 8", [](SerialLink& l) { return queryByte(l, cmd::getMaxBrightness); }, {42}, 42},
        {"queryWord 18", [](SerialLink& l) { return queryWord(l, cmd::getIRRepeatPeriod); }, {232, 3}, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(link), c.value);
        EXPECT_EQ(lastReply(), c.reply);
    }
}

TEST_F(Protocol, PressedButtonsTakeTheAccCodeLittleEndian) {
    module.setPressed({0x15, 0x1C, 0x01, 0x0201}, 0);
    PressedButtons p = getPressedButtons(link);
    EXPECT_EQ(lastReply(), (Bytes{0x15, 0x1C, 0x01, 1, 2}));
    EXPECT_EQ(p.media, 0x15);
    EXPECT_EQ(p.gears, 0x1C);
    EXPECT_EQ(p.horn, 0x01);
    EXPECT_EQ(p.acc, 0x0201);
}

struct ValueWriteCase {
    const char* name;
    std::function<std::uint8_t(SerialLink&)> call;
    std::function<bool(const ModuleConfig&)> applied;
};

TEST_F(Protocol, ValueWritesReturnTheStatusAndReachTheModule) {
    const ValueWriteCase cases[] = {
        {"setMaxBrightness", [](SerialLink& l) { return setMaxBrightness(l, 55); },
         [](const ModuleConfig& c) { return c.maxBrightness == 55; }},
        {"setIRFullRepeat", [](SerialLink& l) { return setIRFullRepeat(l, 0); },
         [](const ModuleConfig& c) { return c.irFullRepeat == 0; }},
        {"setIRRepeatPeriod", [](SerialLink& l) { return setIRRepeatPeriod(l, 500); },
         [](const ModuleConfig& c) { return c.irRepeatPeriod == 500; }},
        {"setDefaultResistance", [](SerialLink& l) { return setDefaultResistance(l, 0x8001); },
         [](const ModuleConfig& c) { return c.defaultResistance == 0x8001; }},
        {"sendIR", [](SerialLink& l) { return sendIR(l, 0xFFFFFFFF); }, [](const ModuleConfig&) { return true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(link), 0);
        EXPECT_EQ(lastReply(), Bytes{0});
        EXPECT_TRUE(c.applied(module.config()));
    }
    EXPECT_EQ(getIRRepeatPeriod(link), 500);
    EXPECT_EQ(getDefaultResistance(link), 0x8001);
}

// Every command whose reply is a status byte, refused by the module.
TEST_F(Protocol, FailureStatusIsReturnedNotThrown) {
    const std::function<std::uint8_t(SerialLink&)> statusCommands[] = {
        [](SerialLink& l) { return setMediaAction(l, 0, RecordOf<MediaAction>(kRecord9)); },
        [](SerialLink& l) { return setGearAction(l, 0, RecordOf<GearAction>(kRecord9)); },
        [](SerialLink& l) { return setHornAction(l, 0, RecordOf<HornAction>(kRecord9)); },
        [](SerialLink& l) { return setAccAction(l, 0, RecordOf<AccAction>(kRecord10)); },
        [](SerialLink& l) { return saveConfig(l); },
        [](SerialLink& l) { return loadConfig(l); },
        [](SerialLink& l) { return resetConfig(l); },
        [](SerialLink& l) { return sendIR(l, 1); },
        [](SerialLink& l) { return setMaxBrightness(l, 1); },
        [](SerialLink& l) { return setIRFullRepeat(l, 0); },
        [](SerialLink& l) { return setIRRepeatPeriod(l, 1); },
        [](SerialLink& l) { return setDefaultResistance(l, 1); },
    };
    for (std::size_t i = 0; i < std::size(statusCommands); ++i) {
        SCOPED_TRACE(i);
        auto status = static_cast<std::uint8_t>(1 + 23 * i);
        module.addFault({.kind = FaultKind::Refuse, .status = status});
        EXPECT_EQ(statusCommands[i](link), status);
        EXPECT_EQ(module.config(), TestConfig()) << "a refused command changes nothing";
    }
    module.addFault({.kind = FaultKind::Refuse, .status = 255});
    EXPECT_EQ(saveConfig(link), 255);
    EXPECT_EQ(saveConfig(link), 0) << "the fault hit one exchange only";
}

template <class R>
struct TableOps {
    const char* name;
    std::uint8_t readCommand;
    std::uint8_t writeCommand;
    std::vector<R> (*read)(SerialLink&);
    std::uint8_t (*write)(SerialLink&, std::uint8_t, const R&);
    std::vector<R> ModuleConfig::*table;
    Bytes record;
};

const TableOps<MediaAction> kMedia{"Media", 0, 1, getMediaActions, setMediaAction, &ModuleConfig::media, kRecord9};
const TableOps<GearAction> kGears{"Gears", 11, 14, getGearActions, setGearAction, &ModuleConfig::gears, kRecord9};
const TableOps<HornAction> kHorn{"Horn", 10, 13, getHornActions, setHornAction, &ModuleConfig::horn, kRecord9};
const TableOps<AccAction> kAcc{"ACC", 9, 12, getAccActions, setAccAction, &ModuleConfig::acc, kRecord10};

template <class R>
std::vector<R> NumberedRows(std::size_t n) {
    std::vector<R> rows(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < R::kSize; ++k) rows[i].bytes[k] = static_cast<std::uint8_t>(i * 7 + k * 31);
    return rows;
}

template <class R>
void CheckTableReads(ModuleLine& t, const TableOps<R>& ops) {
    SCOPED_TRACE(ops.name);
    for (std::size_t n : {0u, 1u, 255u}) {
        SCOPED_TRACE(n);
        ModuleConfig config = FactoryConfig();
        config.*ops.table = NumberedRows<R>(n);
        t.module.setConfig(config);
        t.module.clearExchanges();
        EXPECT_EQ(ops.read(t.link), config.*ops.table);
        ASSERT_EQ(t.requests(), std::vector<Bytes>{{ops.readCommand}});
        EXPECT_EQ(t.lastReply().size(), 1 + n * R::kSize);
        EXPECT_EQ(t.lastReply()[0], n) << "the count is unsigned";
    }
}

TEST_F(Protocol, TableReadsOfNoneOneAndTwoHundredFiftyFiveRecords) {
    CheckTableReads(*this, kMedia);
    CheckTableReads(*this, kGears);
    CheckTableReads(*this, kHorn);
    CheckTableReads(*this, kAcc);
}

template <class R>
void CheckReadStoppingInTheThirdRecord(ModuleLine& t, const TableOps<R>& ops) {
    SCOPED_TRACE(ops.name);
    auto previous = ops.read(t.link);
    ASSERT_GE(previous.size(), 1u);
    ModuleConfig config = FactoryConfig();
    config.*ops.table = NumberedRows<R>(5);
    t.module.setConfig(config);
    t.module.addFault({.kind = FaultKind::Silence, .command = ops.readCommand, .afterBytes = 1 + 2 * R::kSize + 4});
    auto list = previous;
    EXPECT_THROW(list = ops.read(t.link), ProtocolError);
    EXPECT_EQ(list, previous) << "no records are returned, the caller's list is untouched";
    EXPECT_EQ(ops.read(t.link), config.*ops.table) << "the link is still usable";
}

TEST_F(Protocol, TableReadThatStopsInsideTheThirdRecordReturnsNothing) {
    CheckReadStoppingInTheThirdRecord(*this, kMedia);
    CheckReadStoppingInTheThirdRecord(*this, kGears);
    CheckReadStoppingInTheThirdRecord(*this, kHorn);
    CheckReadStoppingInTheThirdRecord(*this, kAcc);
}

TEST_F(Protocol, TableReadWithoutItsCountByteFails) {
    module.addFault({.kind = FaultKind::Silence, .command = cmd::getAccActions});
    EXPECT_THROW(getAccActions(link), ProtocolError);
}

template <class R>
void CheckRecordWrites(ModuleLine& t, const TableOps<R>& ops) {
    SCOPED_TRACE(ops.name);
    const ModuleConfig before = t.module.config();
    const auto rows = (before.*ops.table).size();
    const R record = RecordOf<R>(ops.record);
    const auto last = static_cast<std::uint8_t>(rows - 1);

    t.module.clearExchanges();
    EXPECT_EQ(ops.write(t.link, last, record), 0);
    EXPECT_EQ(t.requests(), std::vector<Bytes>{Concat({ops.writeCommand, last}, ops.record)})
        << "command, slot and the record unchanged";
    auto read = ops.read(t.link);
    ASSERT_EQ(read.size(), rows) << "tables have a fixed length";
    EXPECT_EQ(read[last], record) << "bits without a column survive the round trip";

    // Past the end of the table: status 1, nothing changes.
    const ModuleConfig written = t.module.config();
    EXPECT_EQ(ops.write(t.link, static_cast<std::uint8_t>(rows), record), 1);
    EXPECT_EQ(ops.write(t.link, 255, record), 1);
    EXPECT_EQ(t.module.config(), written);
}

TEST_F(Protocol, RecordWritesSendSlotAndRecordAndKeepEveryBit) {
    CheckRecordWrites(*this, kMedia);
    CheckRecordWrites(*this, kGears);
    CheckRecordWrites(*this, kHorn);
    CheckRecordWrites(*this, kAcc);
    EXPECT_EQ(requests().back(), Concat({12, 255}, kRecord10)) << "an ACC write is 12 bytes";
}

TEST_F(Protocol, LateReplyIsTakenAsTheStartOfTheNextReply) {
    module.addFault({.kind = FaultKind::Late, .command = cmd::getMaxBrightness, .delayMs = 380});
    EXPECT_THROW(getMaxBrightness(link), ProtocolError);
    // The brightness byte arrives during the next exchange and is read as
    // its reply; that exchange's own byte waits for the one after.
    EXPECT_EQ(getIRFullRepeat(link), 42);
    EXPECT_EQ(getIRRepeatPeriod(link), 1 | 232 << 8);
    EXPECT_EQ(getDefaultResistance(link), 3 | 0x04 << 8);
    EXPECT_EQ(requests(), (std::vector<Bytes>{{8}, {17}, {18}, {20}})) << "nothing is repeated";
}

TEST_F(Protocol, LateTailOfAReplyEndsItAtTheGap) {
    module.setPressed({1, 2, 3, 0x0504}, 9);
    module.addFault({.kind = FaultKind::Late, .command = cmd::getPressedButtons, .afterBytes = 2, .delayMs = 150});
    EXPECT_THROW(getPressedButtons(link), ProtocolError);
    EXPECT_EQ(queryWord(link, cmd::getCurrentBrightness), 3 | 4 << 8) << "the late tail starts the next reply";
}

TEST_F(Protocol, TwoByteAnswerToAOneByteQueryLeavesTheSecondByteForTheNextExchange) {
    module.addFault({.kind = FaultKind::Extra, .command = cmd::getMaxBrightness, .extra = {0x07}});
    EXPECT_EQ(getMaxBrightness(link), 42);
    EXPECT_EQ(saveConfig(link), 7) << "the extra byte is read as the status of the save";
    EXPECT_EQ(getMaxBrightness(link), 0) << "and the save's status as the brightness";
}

TEST_F(Protocol, ProtocolErrorLeavesTheLinkOpenAndTheNextExchangeWorks) {
    module.addFault({.kind = FaultKind::Silence, .command = cmd::getIRRepeatPeriod, .afterBytes = 1});
    EXPECT_THROW(getIRRepeatPeriod(link), ProtocolError);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(getIRRepeatPeriod(link), 1000);
}

}  // namespace
