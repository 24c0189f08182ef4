// The serial link and the 22 commands on a real pseudo-terminal served by the
// virtual module: exact bytes both ways, time-outs, the receive buffer,
// exclusive opening and hang-ups. Late, extra and cut replies of every command
// shape are in tests/hardening/fault_matrix_test.cpp.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>

#include "device/protocol.h"
#include "device/serial_link.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A deadline is never cut short; a busy machine may only let it end a little late.
void ExpectLasted(Clock::time_point start, double seconds) {
    const double took = SecondsSince(start);
    EXPECT_GE(took, seconds - 0.002);
    EXPECT_LT(took, seconds + ScaledMs(200) / 1000.0);
}

std::string SerialFailure(const std::function<void()>& f) {
    try { f(); } catch (const SerialError& e) { return e.what(); }
    return "";
}

template <class R>
R As(const Bytes& b) {
    R r;
    std::copy(b.begin(), b.end(), r.bytes.begin());
    return r;
}
Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// Every byte in use, flag bits without a column included.
const Bytes k9{0x15, 0x44, 0x33, 0x22, 0x11, 0x81, 0xF9, 0x04, 0x80};
const Bytes k10{0x00, 0x01, 0x44, 0x33, 0x22, 0x11, 0x81, 0xF9, 0x04, 0x80};
constexpr std::uint8_t kMaxBrightness = 42, kCurrentBrightness = 37;

ModuleConfig TestConfig() {
    return {.media = {As<MediaAction>(k9)}, .gears = {As<GearAction>(k9), {}}, .horn = {},
            .acc = {As<AccAction>(k10)},
            .settings = {.maxBrightness = 42, .irFullRepeat = 1, .irRepeatPeriod = 1000, .defaultResistors = 0x8004}};
}

// The bytes the line holds for the link, besides those it has buffered.
std::size_t InLine(const SerialLink& link) {
    int have = 0;
    return ioctl(link.handle, FIONREAD, &have) == 0 ? static_cast<std::size_t>(have) : 0;
}

struct Line : ::testing::Test {
    // No settle wait; the deadlines are the module's, which no test here waits for whole.
    Line() : module(TestConfig()) {
        module.setPressed({}, kCurrentBrightness);
        link.timeouts.settleMs = 0;
    }
    void SetUp() override { ASSERT_TRUE(link.open(module.portPath())); }

    // Sends getMaxBrightness and the `others` in one write, waits for all `replyBytes`
    // of their replies to arrive, and reads the first.
    void RequestAll(Bytes others, std::size_t replyBytes) {
        others.insert(others.begin(), cmd::getMaxBrightness);
        link.writeExact(others.data(), others.size());
        AwaitUpTo([&] { return InLine(link) >= replyBytes; });
        ASSERT_EQ(InLine(link), replyBytes);
        std::uint8_t first = 0;
        link.readExact(&first, 1);
        EXPECT_EQ(first, kMaxBrightness);
    }

    VirtualModule module;
    SerialLink link;
};

bool IsStatusCommand(std::uint8_t c) {
    return RequestArgumentBytes(c) > 0 || c == cmd::saveConfig || c == cmd::loadConfig || c == cmd::resetConfig;
}
std::uint64_t Packed(PressedButtons p) { return p.media | p.gears << 8 | p.horn << 16 | std::uint64_t{p.acc} << 24; }

#define CALL(expr) [](SerialLink& l) -> std::uint64_t { return expr; }
struct CommandRow {
    const char* name;
    std::function<std::uint64_t(SerialLink&)> call;
    Bytes request, reply;
    std::uint64_t value;
};

// One exchange per row, in an order where each read shows what the writes before it did.
TEST_F(Line, EveryCommandSendsItsExactRequestAndDecodesItsReply) {
    module.setPressed({0x15, 0x1C, 0x01, 0x0201}, 37);
    const Bytes twoGears = Concat(Concat({2}, k9), k9);
    const std::uint8_t factory = FactoryConfig().settings.maxBrightness;
    const CommandRow rows[] = {
        {"media table", CALL(getMediaActions(l).size()), {0}, Concat({1}, k9), 1},
        {"gear table", CALL(getGearActions(l).size()), {11}, Concat(Concat({2}, k9), Bytes(9)), 2},
        {"horn table", CALL(getHornActions(l).size()), {10}, {0}, 0},
        {"ACC table", CALL(getAccActions(l).size()), {9}, Concat({1}, k10), 1},
        {"setMediaAction 0", CALL(setMediaAction(l, 0, As<MediaAction>(k9))), Concat({1, 0}, k9), {0}, 0},
        {"setGearAction 1", CALL(setGearAction(l, 1, As<GearAction>(k9))), Concat({14, 1}, k9), {0}, 0},
        {"setHornAction past the end", CALL(setHornAction(l, 255, As<HornAction>(k9))), Concat({13, 255}, k9), {1}, 1},
        {"setAccAction 0", CALL(setAccAction(l, 0, As<AccAction>(k10))), Concat({12, 0}, k10), {0}, 0},
        {"gear write arrived", CALL(readTable<GearAction>(l)[1] == As<GearAction>(k9)), {11}, twoGears, 1},
        {"pressed acc 0x0201", CALL(Packed(getPressedButtons(l))), {2}, {0x15, 0x1C, 0x01, 1, 2}, 0x0201'01'1C'15},
        {"getCurrentBrightness", CALL(getCurrentBrightness(l)), {3}, {37}, 37},
        {"getMaxBrightness", CALL(getSetting(l, Setting::MaxBrightness)), {8}, {42}, 42},
        {"setMaxBrightness 100", CALL(setMaxBrightness(l, 100)), {7, 100}, {0}, 0},
        {"saveConfig", CALL(saveConfig(l)), {4}, {0}, 0},
        {"setMaxBrightness 7", CALL(setSetting(l, Setting::MaxBrightness, 7)), {7, 7}, {0}, 0},
        {"queryByte 8", CALL(queryByte(l, cmd::getMaxBrightness)), {8}, {7}, 7},
        {"loadConfig", CALL(loadConfig(l)), {5}, {0}, 0},
        {"brightness as saved", CALL(getSetting(l, Setting::MaxBrightness)), {8}, {100}, 100},
        {"getIRFullRepeat", CALL(getIRFullRepeat(l)), {17}, {1}, 1},
        {"setIRFullRepeat 0", CALL(setIRFullRepeat(l, 0)), {15, 0}, {0}, 0},
        {"queryWord 232 3", CALL(queryWord(l, cmd::getIRRepeatPeriod)), {18}, {232, 3}, 1000},
        {"setIRRepeatPeriod 500", CALL(setIRRepeatPeriod(l, 500)), {16, 244, 1}, {0}, 0},
        {"getIRRepeatPeriod", CALL(getIRRepeatPeriod(l)), {18}, {244, 1}, 500},
        {"getDefaultResistance", CALL(getDefaultResistance(l)), {20}, {0x04, 0x80}, 0x8004},
        {"setDefaultResistance bits 0 and 15", CALL(setDefaultResistance(l, 0x8001)), {21, 1, 128}, {0}, 0},
        {"resistance as written", CALL(getSetting(l, Setting::DefaultResistance)), {20}, {1, 128}, 0x8001},
        {"sendIR low byte first", CALL(sendIR(l, 0x12345678)), {6, 0x78, 0x56, 0x34, 0x12}, {0}, 0},
        {"resetConfig", CALL(resetConfig(l)), {19}, {0}, 0},
        {"brightness as from the factory", CALL(getSetting(l, Setting::MaxBrightness)), {8}, {factory}, factory},
        // A reset leaves the stored configuration as it was.
        {"loadConfig after the reset", CALL(loadConfig(l)), {5}, {0}, 0},
        {"brightness as saved again", CALL(getSetting(l, Setting::MaxBrightness)), {8}, {100}, 100},
        {"gear table as saved", CALL(readTable<GearAction>(l)[1] == As<GearAction>(k9)), {11}, twoGears, 1},
    };
    std::set<int> commands;
    for (const CommandRow& r : rows) {
        SCOPED_TRACE(r.name);
        module.clearExchanges();
        EXPECT_EQ(r.call(link), r.value);
        auto exchanges = module.exchanges();
        ASSERT_EQ(exchanges.size(), 1u);
        EXPECT_EQ(exchanges[0].request, r.request);
        EXPECT_EQ(exchanges[0].reply, r.reply);
        commands.insert(r.request[0]);
        if (!IsStatusCommand(r.request[0])) continue;
        module.addFault({.kind = FaultKind::Refuse, .status = 0xA5});
        EXPECT_EQ(r.call(link), 0xA5) << "a failure status is returned, not thrown";
    }
    EXPECT_EQ(commands.size(), 22u);
    EXPECT_EQ(RequestArgumentBytes(22), -1);
}

TEST_F(Line, HangUpFailsTheReadOfItsExchangeAndEveryWriteAfter) {
    module.addFault({.kind = FaultKind::HangUp, .command = cmd::getPressedButtons, .afterBytes = 2});
    EXPECT_EQ(SerialFailure([&] { getPressedButtons(link); }), "Read failed.");
    EXPECT_EQ(SerialFailure([&] { getSetting(link, Setting::MaxBrightness); }), "Write failed.");
    EXPECT_TRUE(link.isOpen()) << "the link never closes itself";
    link.close();
    std::uint8_t byte = 0;
    EXPECT_EQ(SerialFailure([&] { getSetting(link, Setting::MaxBrightness); }), "Write failed.") << "closed";
    EXPECT_EQ(SerialFailure([&] { link.readExact(&byte, 1); }), "Read failed.") << "closed";
    EXPECT_FALSE(link.open(module.portPath())) << "the hung-up line is gone";
}

// Replies that arrived together are taken in one call, a byte counting as
// received once a read takes it; later reads are served from the buffer, even
// after a hang-up, as the line would have served them before it.
TEST_F(Line, RepliesArrivedTogetherAreServedFromTheBufferEvenAfterAHangUp) {
    RequestAll({cmd::getIRRepeatPeriod, cmd::getCurrentBrightness}, 4);
    EXPECT_EQ(InLine(link), 0u) << "one call took everything that had arrived";
    EXPECT_EQ(link.received, 1u);
    module.hangUpAfter(0);
    ASSERT_TRUE(module.waitForHangUp(ScaledMs(1000)));
    std::uint8_t word[2] = {};
    link.readExact(word, 2);
    EXPECT_EQ(word[0] | word[1] << 8, 1000);
    EXPECT_EQ(link.received, 3u);
    EXPECT_EQ(SerialFailure([&] { link.readExact(word, 2); }), "Read failed.") << "only the read that needs more fails";
    EXPECT_EQ(word[0], kCurrentBrightness) << "the last buffered byte went to the read that failed";
    EXPECT_EQ(link.received, 4u);
}

TEST_F(Line, OpenEmptiesTheBufferAsItPurgesTheLine) {
    for (const bool closeFirst : {false, true}) {
        SCOPED_TRACE(closeFirst ? "close, then open" : "open while open");
        RequestAll({cmd::getCurrentBrightness}, 2);
        if (closeFirst) link.close();
        EXPECT_EQ(link.rx.size(), closeFirst ? 0u : 1u) << "close keeps nothing";
        ASSERT_TRUE(link.open(module.portPath()));
        EXPECT_EQ(link.received, 0u);
        EXPECT_EQ(getIRFullRepeat(link), 1) << "not the buffered current brightness";
    }
}

// A read that takes buffered bytes counts the gap from then, as for bytes
// that waited in the line: it ends after the gap, not at its whole deadline,
// and waits the whole gap however long its bytes sat in the buffer.
TEST_F(Line, ReadThatTakesBufferedBytesCountsTheGapFromThen) {
    RequestAll({cmd::getCurrentBrightness}, 2);
    std::uint8_t three[3] = {};
    const auto start = Clock::now();
    EXPECT_THROW(link.readExact(three, 2), ProtocolError);
    EXPECT_GE(SecondsSince(start), 0.05 - 0.005);
    EXPECT_LT(SecondsSince(start), 1.0) << "waited for the whole read's deadline";
    EXPECT_EQ(three[0], kCurrentBrightness);

    link.timeouts.readInterval = ScaledMs(500);
    RequestAll({cmd::getCurrentBrightness}, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * link.timeouts.readInterval));
    module.addFault({.kind = FaultKind::Late, .afterBytes = 0, .delayMs = ScaledMs(50)});
    const std::uint8_t request = cmd::getIRRepeatPeriod;
    link.writeExact(&request, 1);
    link.readExact(three, 3);
    EXPECT_EQ(Bytes(three, three + 3), (Bytes{kCurrentBrightness, 1000 & 0xFF, 1000 >> 8}));
}

// A module that paces its bytes at 115200 baud hands each reply over in many
// small arrivals: records read one by one straddle them; one read longer than
// the buffer gathers them across hundreds of calls, each starting the gap afresh.
TEST_F(Line, RepliesSplitAcrossManyArrivals) {
    ModuleConfig config = TestConfig();
    config.acc.resize(255);
    for (std::size_t i = 0; i < 255 * AccAction::kSize; ++i)
        config.acc[i / AccAction::kSize].bytes[i % AccAction::kSize] = static_cast<std::uint8_t>(i * 7 + 3);
    module.setConfig(config);
    module.setPacing(true);
    link.timeouts.readInterval = ScaledMs(250);  // a busy machine may hold the module back
    EXPECT_EQ(getAccActions(link), config.acc);

    const Bytes requests{cmd::getAccActions, cmd::getAccActions};
    link.writeExact(requests.data(), requests.size());
    Bytes replies(2 * (1 + 255 * AccAction::kSize));
    ASSERT_GT(replies.size(), link.rx.bytes.size());
    link.readExact(replies.data(), replies.size());
    const Bytes reply = module.exchanges().back().reply;
    EXPECT_EQ(replies, Concat(reply, reply));
    EXPECT_EQ(getMaxBrightness(link), kMaxBrightness);
}

// The one test of the module's own deadlines: the 2000 ms settle wait purges
// what reached the line before it ended; a silent module ends a five-byte read
// after 5000 ms plus 50 ms a byte.
TEST_F(Line, DefaultsSettleWaitPurgesTheLineAndSilenceEndsAFiveByteReadAfterFiveSecondsAndAQuarter) {
    module.setPressed({1, 2, 3, 4}, 5);
    module.sendUnsolicited({0xA1, 0xA2}, 0);
    module.sendUnsolicited({0xC1, 0xC2}, 1000);  // while the link settles
    link.timeouts = {};
    auto start = Clock::now();
    ASSERT_TRUE(link.open(module.portPath()));
    ExpectLasted(start, 2.0);
    EXPECT_EQ(getSetting(link, Setting::MaxBrightness), 42);
    module.addFault({.kind = FaultKind::Silence});
    start = Clock::now();
    EXPECT_THROW(getPressedButtons(link), ProtocolError);
    ExpectLasted(start, 5.25);
    EXPECT_EQ(Packed(getPressedButtons(link)), 0x0004'03'02'01u) << "the link stays open and usable";
}

// Both deadlines have a part per byte. A silent module ends a five-byte read
// after constant + 5 x multiplier, later than a one-byte read; a peer that
// reads nothing fails a write of n bytes after the module's 50 + 10 n ms.
TEST_F(Line, DeadlinesGrowWithTheBytesOfTheReadAndOfTheWrite) {
    link.timeouts = {.readMultiplier = 100, .readConstant = 100, .settleMs = 0};
    const std::pair<std::function<void()>, double> reads[] = {{[&] { getSetting(link, Setting::MaxBrightness); }, 0.2},
                                                              {[&] { getPressedButtons(link); }, 0.6}};
    for (const auto& [read, seconds] : reads) {
        module.addFault({.kind = FaultKind::Silence});
        const auto start = Clock::now();
        EXPECT_THROW(read(), ProtocolError);
        ExpectLasted(start, seconds);
    }

    // A pseudo-terminal whose other side is never read: once the line
    // discipline there holds all it takes (4 KB less the byte it keeps free),
    // nothing drains, and a write that finds the line full can only wait.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    SerialLink writer;
    writer.timeouts.settleMs = 0;
    ASSERT_TRUE(writer.open(ptsname(master)));
    int held = 0;
    ASSERT_TRUE(AwaitUpTo([&] {
        const std::uint8_t byte = 0x55;
        while (::write(writer.handle, &byte, 1) > 0) {
        }
        return ioctl(master, FIONREAD, &held) == 0 && held == 4095;
    })) << held;
    const Bytes request(25, 0xAA);
    const auto start = Clock::now();
    EXPECT_EQ(SerialFailure([&] { writer.writeExact(request.data(), request.size()); }), "Write failed.");
    ExpectLasted(start, 0.3);  // 50 + 25 x 10 ms
    writer.close();
    ::close(master);
}

// 'Y' or 'N': whether another process opens the port. The answer comes
// through a pipe, as a memory checker may take over the exit status.
char OpenInAnotherProcess(const std::string& port) {
    int answer[2];
    if (pipe(answer) != 0) return 'E';
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        SerialLink other;
        other.timeouts.settleMs = 0;
        const char opened = other.open(port) ? 'Y' : 'N';
        _exit(write(answer[1], &opened, 1) == 1 ? 0 : 1);
    }
    close(answer[1]);
    char opened = 'E';
    if (read(answer[0], &opened, 1) != 1) opened = 'E';
    close(answer[0]);
    waitpid(child, nullptr, 0);
    return opened;
}

TEST(LinkOpen, SecondOpenFailsInThisProcessAndAnotherWhileTheFirstHoldsThePort) {
    VirtualModule module(TestConfig());
    SerialLink first, second;
    first.timeouts.settleMs = second.timeouts.settleMs = 0;
    const int observer = ::open(module.portPath().c_str(), O_RDWR | O_NOCTTY);
    int exclusive = -1;
    ASSERT_TRUE(first.open(module.portPath()));
    EXPECT_FALSE(second.open(module.portPath()));
    EXPECT_EQ(OpenInAnotherProcess(module.portPath()), 'N');
    EXPECT_EQ(getSetting(first, Setting::MaxBrightness), 42) << "the holder is not disturbed";
    EXPECT_TRUE(ioctl(observer, TIOCGEXCL, &exclusive) == 0 && exclusive == 1);
    first.close();
    EXPECT_TRUE(ioctl(observer, TIOCGEXCL, &exclusive) == 0 && exclusive == 0) << "TIOCEXCL goes with the holder";
    ::close(observer);
    EXPECT_EQ(OpenInAnotherProcess(module.portPath()), 'Y');
    EXPECT_TRUE(second.open(module.portPath()));
}

}  // namespace
