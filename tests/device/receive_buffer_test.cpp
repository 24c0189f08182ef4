// What the link's receive buffer adds, on a real pseudo-terminal served by
// the virtual module: one call takes whatever has arrived, later reads are
// served from it, and the deadlines, the purge and a hang-up treat buffered
// bytes as they treat bytes waiting in the line.
#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <chrono>
#include <functional>
#include <thread>

#include "device/protocol.h"
#include "device/serial_link.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The bytes the line holds for the link, besides those it has buffered.
std::size_t InLine(const SerialLink& link) {
    int have = 0;
    return ioctl(link.handle, FIONREAD, &have) == 0 ? static_cast<std::size_t>(have) : 0;
}

constexpr std::uint8_t kMaxBrightness = 42, kCurrentBrightness = 37;
constexpr std::uint16_t kIrRepeatPeriod = 1000;

ModuleConfig Config() {
    ModuleConfig config = FactoryConfig();
    config.acc.resize(255);
    for (std::size_t i = 0; i < config.acc.size() * AccAction::kSize; ++i)
        config.acc[i / AccAction::kSize].bytes[i % AccAction::kSize] = static_cast<std::uint8_t>(i * 7 + 3);
    config.settings.maxBrightness = kMaxBrightness;
    config.settings.irRepeatPeriod = kIrRepeatPeriod;
    return config;
}

struct Buffered : ::testing::Test {
    Buffered() : module(Config()) {
        module.setPressed({}, kCurrentBrightness);
        // A read that waits on the port where it should not shows as seconds.
        link.timeouts = {.readMultiplier = 5, .readConstant = 2000, .settleMs = 0};
    }
    void SetUp() override { ASSERT_TRUE(link.open(module.portPath())); }

    // Sends the requests in one write, and waits until all `replyBytes` of
    // their replies have arrived, none of them read yet.
    void RequestAll(const Bytes& requests, std::size_t replyBytes) {
        link.writeExact(requests.data(), requests.size());
        AwaitUpTo([&] { return InLine(link) >= replyBytes; });
        ASSERT_EQ(InLine(link), replyBytes);
    }
    std::uint8_t ReadByte() {
        std::uint8_t byte = 0;
        link.readExact(&byte, 1);
        return byte;
    }

    VirtualModule module;
    SerialLink link;
};

// Two replies in the line at once: the first read takes both in one call and
// counts only its own byte as received; the second reply is there at once,
// without waiting on the port.
TEST_F(Buffered, TwoRepliesArrivedTogetherAreReadOneAfterTheOther) {
    RequestAll({cmd::getMaxBrightness, cmd::getIRRepeatPeriod}, 3);
    EXPECT_EQ(ReadByte(), kMaxBrightness);
    EXPECT_EQ(InLine(link), 0u) << "one call took everything that had arrived";
    EXPECT_EQ(link.received, 1u);
    std::uint8_t word[2] = {};
    const auto start = Clock::now();
    link.readExact(word, 2);
    EXPECT_LT(SecondsSince(start), 1.0) << "waited on the port for bytes it had";
    EXPECT_EQ(word[0] | word[1] << 8, kIrRepeatPeriod);
    EXPECT_EQ(link.received, 3u);
    EXPECT_EQ(getMaxBrightness(link), kMaxBrightness) << "the next exchange starts clean";
}

// Once the line is gone, a read that finds its bytes buffered still gets
// them, as it would have got them from the line before the hang-up; only the
// read that needs more fails.
TEST_F(Buffered, HangUpWithBytesStillBufferedFailsOnlyTheReadThatNeedsMore) {
    RequestAll({cmd::getMaxBrightness, cmd::getIRRepeatPeriod, cmd::getCurrentBrightness}, 4);
    EXPECT_EQ(ReadByte(), kMaxBrightness);
    module.hangUpAfter(0);
    ASSERT_TRUE(module.waitForHangUp(ScaledMs(1000)));
    std::uint8_t word[2] = {};
    link.readExact(word, 2);
    EXPECT_EQ(word[0] | word[1] << 8, kIrRepeatPeriod);
    std::uint8_t two[2] = {};
    try {
        link.readExact(two, 2);
        ADD_FAILURE() << "a read past the buffered bytes succeeded on a hung-up line";
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Read failed.");
    }
    EXPECT_EQ(two[0], kCurrentBrightness) << "the last buffered byte went to the read that failed";
    EXPECT_EQ(link.received, 4u);
}

// Bytes buffered before an open never reach a reply after it, whether the
// open follows a close or replaces a port still open.
TEST_F(Buffered, OpenEmptiesTheBufferAsItPurgesTheLine) {
    const std::pair<const char*, std::function<void()>> reopens[] = {
        {"open while open", [] {}},
        {"close, then open", [&] {
             link.close();
             EXPECT_EQ(link.rx.size(), 0u) << "close keeps nothing";
         }},
    };
    for (const auto& [name, before] : reopens) {
        SCOPED_TRACE(name);
        RequestAll({cmd::getMaxBrightness, cmd::getCurrentBrightness}, 2);
        EXPECT_EQ(ReadByte(), kMaxBrightness);
        before();
        ASSERT_TRUE(link.open(module.portPath()));
        EXPECT_EQ(link.received, 0u);
        EXPECT_EQ(getIRFullRepeat(link), Config().settings.irFullRepeat) << "not the buffered current brightness";
    }
}

// A read that takes buffered bytes and needs more counts the gap from then,
// as for bytes that waited in the line: it ends after the gap when nothing
// follows, not at its whole deadline...
TEST_F(Buffered, ReadThatTakesBufferedBytesEndsAfterTheGapWhenNothingFollows) {
    RequestAll({cmd::getMaxBrightness, cmd::getCurrentBrightness}, 2);
    EXPECT_EQ(ReadByte(), kMaxBrightness);
    std::uint8_t two[2] = {};
    const auto start = Clock::now();
    EXPECT_THROW(link.readExact(two, 2), ProtocolError);
    EXPECT_GE(SecondsSince(start), 0.05 - 0.005);
    EXPECT_LT(SecondsSince(start), 1.0) << "waited for the whole read's deadline";
    EXPECT_EQ(two[0], kCurrentBrightness);
    EXPECT_EQ(getMaxBrightness(link), kMaxBrightness);
}

// ...and it waits the whole gap for the port, however long its bytes sat in
// the buffer before it.
TEST_F(Buffered, BytesThatSatInTheBufferStillLeaveTheWholeGapForTheNext) {
    link.timeouts.readInterval = ScaledMs(500);
    RequestAll({cmd::getMaxBrightness, cmd::getCurrentBrightness}, 2);
    EXPECT_EQ(ReadByte(), kMaxBrightness);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * link.timeouts.readInterval));
    module.addFault({.kind = FaultKind::Late, .afterBytes = 0, .delayMs = ScaledMs(50)});
    const std::uint8_t request = cmd::getIRRepeatPeriod;
    link.writeExact(&request, 1);
    std::uint8_t three[3] = {};
    link.readExact(three, 3);
    EXPECT_EQ(Bytes(three, three + 3), (Bytes{kCurrentBrightness, kIrRepeatPeriod & 0xFF, kIrRepeatPeriod >> 8}));
}

// A module that paces its bytes at 115200 baud hands each reply over in many
// small arrivals. Records read one by one straddle them; one read of two whole
// table replies, longer than the buffer, gathers them across hundreds of calls,
// each arrival starting the gap afresh.
TEST_F(Buffered, RepliesSplitAcrossManyArrivals) {
    module.setPacing(true);
    link.timeouts.readInterval = ScaledMs(250);  // a busy machine may hold the module back
    EXPECT_EQ(getAccActions(link), Config().acc);

    const Bytes requests{cmd::getAccActions, cmd::getAccActions};
    link.writeExact(requests.data(), requests.size());
    const std::size_t replyBytes = 1 + 255 * AccAction::kSize;
    Bytes replies(2 * replyBytes);
    ASSERT_GT(replies.size(), link.rx.bytes.size());
    link.readExact(replies.data(), replies.size());
    const Bytes reply = module.exchanges().back().reply;
    ASSERT_EQ(reply.size(), replyBytes);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), replies.begin()));
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), replies.begin() + replyBytes));
    EXPECT_EQ(getMaxBrightness(link), kMaxBrightness);
}

}  // namespace
