// Every command shape against every fault of the module at every point of its
// reply: the exception the caller gets, what the caller still holds, and what
// the next exchange on the same line reads. A late reply's bytes and extra
// bytes stay in the line and start the next reply; after a hang-up the next
// request cannot even be written.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "device/protocol.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Shape {
    const char* name;
    // Runs the exchange; the value comes back as the reply bytes it was made
    // of. A table read replaces the caller's held rows only when it succeeds.
    Bytes (*run)(SerialLink& link, std::vector<MediaAction>& held);
    std::size_t replySize;
    std::size_t valueFrom;  // a table's count byte is not part of its value
};

Bytes word(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

GearAction someGearRecord() { return MakeRecord<GearAction>({0x1C, 0x11223344, 0x81, kFlagRepeat, 0x8004}); }

const Shape kShapes[] = {
    {"TableRead",
     [](SerialLink& link, std::vector<MediaAction>& held) {
         held = getMediaActions(link);
         Bytes value;
         for (const auto& r : held) value.insert(value.end(), r.bytes.begin(), r.bytes.end());
         return value;
     },
     1 + 2 * MediaAction::kSize, 1},
    {"RecordWrite",
     [](SerialLink& link, std::vector<MediaAction>&) { return Bytes{setGearAction(link, 1, someGearRecord())}; }, 1, 0},
    {"ValueWrite",
     [](SerialLink& link, std::vector<MediaAction>&) { return Bytes{setIRRepeatPeriod(link, 500)}; }, 1, 0},
    {"QueryByte", [](SerialLink& link, std::vector<MediaAction>&) { return Bytes{getMaxBrightness(link)}; }, 1, 0},
    {"QueryWord", [](SerialLink& link, std::vector<MediaAction>&) { return word(getIRRepeatPeriod(link)); }, 2, 0},
    {"PressedButtons",
     [](SerialLink& link, std::vector<MediaAction>&) {
         const PressedButtons p = getPressedButtons(link);
         const Bytes acc = word(p.acc);
         return Bytes{p.media, p.gears, p.horn, acc[0], acc[1]};
     },
     5, 0},
};

struct Case {
    std::size_t shape;
    FaultKind kind;
    std::size_t point;  // bytes of the reply sent before the fault
};

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (std::size_t s = 0; s < std::size(kShapes); ++s)
        for (FaultKind kind : {FaultKind::Silence, FaultKind::HangUp, FaultKind::Late, FaultKind::Extra})
            for (std::size_t point = 0; point <= kShapes[s].replySize; ++point) cases.push_back({s, kind, point});
    return cases;
}

const char* kindName(FaultKind kind) {
    switch (kind) {
    case FaultKind::Silence: return "Silence";
    case FaultKind::HangUp: return "HangUp";
    case FaultKind::Late: return "Late";
    case FaultKind::Extra: return "Extra";
    default: return "Refuse";
    }
}

std::string caseName(const Case& c) {
    return std::string(kShapes[c.shape].name) + "_" + kindName(c.kind) + "_after" + std::to_string(c.point);
}
std::string testName(const ::testing::TestParamInfo<Case>& info) { return caseName(info.param); }
// gtest would otherwise print a case byte by byte, padding included, which
// valgrind reports as uninitialised.
void PrintTo(const Case& c, std::ostream* os) { *os << caseName(c); }

constexpr std::uint8_t kMaxBrightness = 77;
constexpr std::uint8_t kExtraByte = 0xEE;

ModuleConfig matrixConfig() {
    ModuleConfig config = FactoryConfig();
    config.media.resize(2);
    config.maxBrightness = kMaxBrightness;
    config.irRepeatPeriod = 1000;
    return config;
}

// The whole read may last 100 ms plus 5 ms a byte; a late byte comes three
// times that after the ones before it, past both the gap and the whole read.
LinkTimeouts matrixTimeouts() {
    LinkTimeouts t;
    t.settleMs = 0;
    t.readConstant = ScaledMs(100);
    t.readMultiplier = 5;
    return t;
}
const unsigned kLateMs = ScaledMs(300);

int pendingBytes(int fd) {
    int n = 0;
    return ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

// Until the line holds `n` bytes for the link, or a second has passed.
void awaitPending(int fd, int n) {
    const auto deadline = Clock::now() + milliseconds(ScaledMs(1000));
    while (pendingBytes(fd) < n && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(1));
}

// Until the module's end of the line has gone, or a second has passed.
void awaitHangUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    const auto deadline = Clock::now() + milliseconds(ScaledMs(1000));
    while (Clock::now() < deadline) {
        if (::poll(&p, 1, 10) > 0 && (p.revents & (POLLHUP | POLLERR))) return;
    }
}

Bytes readPending(int fd) {
    Bytes bytes(static_cast<std::size_t>(std::max(pendingBytes(fd), 0)));
    if (bytes.empty()) return bytes;
    bytes.resize(static_cast<std::size_t>(std::max<ssize_t>(::read(fd, bytes.data(), bytes.size()), 0)));
    return bytes;
}

class FaultMatrix : public ::testing::TestWithParam<Case> {};

TEST_P(FaultMatrix, CallerAndNextExchange) {
    const Case& c = GetParam();
    const Shape& shape = kShapes[c.shape];
    VirtualModule module(matrixConfig());
    module.setLiveChanges(false);
    module.setPressed({0x15, 0x01, 0x01, 0x0201}, 40);
    SerialLink link;
    link.timeouts = matrixTimeouts();
    ASSERT_TRUE(link.open(module.portPath()));

    // A clean run of the same exchange shows the whole reply it gets.
    std::vector<MediaAction> scratch;
    shape.run(link, scratch);
    const Bytes reply = module.exchanges().back().reply;
    ASSERT_EQ(reply.size(), shape.replySize);

    Fault fault;
    fault.kind = c.kind;
    fault.afterBytes = c.point;
    fault.delayMs = kLateMs;
    fault.extra = {kExtraByte};
    module.addFault(fault);
    const std::vector<MediaAction> before(3, MakeRecord<MediaAction>({0x16, 0xDEADBEEF, 0, 0, 0}));
    std::vector<MediaAction> held = before;
    const auto start = Clock::now();

    const bool cut = c.point < reply.size() && c.kind != FaultKind::Extra;
    try {
        const Bytes value = shape.run(link, held);
        EXPECT_FALSE(cut) << "a cut reply gave a value";
        EXPECT_EQ(value, Bytes(reply.begin() + static_cast<long>(shape.valueFrom), reply.end()));
    } catch (const ProtocolError& e) {
        EXPECT_TRUE(cut && c.kind != FaultKind::HangUp) << "ProtocolError " << e.what();
        EXPECT_STREQ(e.what(), "Fewer bytes than expected.");
        EXPECT_EQ(held, before);
    } catch (const SerialError& e) {
        EXPECT_TRUE(cut && c.kind == FaultKind::HangUp) << "SerialError " << e.what();
        EXPECT_STREQ(e.what(), "Read failed.");
        EXPECT_EQ(held, before);
    }

    // What the line holds for the next reply: the late rest of this one, or
    // the extra bytes.
    Bytes stale;
    if (c.kind == FaultKind::Late) stale.assign(reply.begin() + static_cast<long>(c.point), reply.end());
    if (c.kind == FaultKind::Extra) stale = {kExtraByte};
    if (c.kind == FaultKind::Late) std::this_thread::sleep_until(start + milliseconds(kLateMs + ScaledMs(30)));
    if (c.kind == FaultKind::HangUp) {
        awaitHangUp(link.handle);
        EXPECT_THROW(
            try { getMaxBrightness(link); } catch (const SerialError& e) {
                EXPECT_STREQ(e.what(), "Write failed.");
                throw;
            },
            SerialError);
        return;
    }
    awaitPending(link.handle, static_cast<int>(stale.size()));
    ASSERT_EQ(pendingBytes(link.handle), static_cast<int>(stale.size()));

    // The next exchange reads the stale bytes first; its own reply follows them.
    Bytes line = stale;
    line.push_back(kMaxBrightness);
    EXPECT_EQ(getMaxBrightness(link), line.front());
    awaitPending(link.handle, static_cast<int>(line.size() - 1));
    EXPECT_EQ(readPending(link.handle), Bytes(line.begin() + 1, line.end()));
}

INSTANTIATE_TEST_SUITE_P(EveryShapePointAndFault, FaultMatrix, ::testing::ValuesIn(allCases()), testName);

}  // namespace
