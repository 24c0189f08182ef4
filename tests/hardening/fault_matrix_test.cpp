// Every command shape against every fault of the module at every point of its
// reply: the exception the caller gets, the rows it still holds, and what the
// next exchange on the same line reads. A late rest and extra bytes stay in
// the line and start the next reply; after a hang-up no request can be written.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/ioctl.h>

#include "device/protocol.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Held = std::vector<MediaAction>;

std::uint64_t Packed(PressedButtons p) { return p.media | p.gears << 8 | p.horn << 16 | std::uint64_t{p.acc} << 24; }

// Each shape's result as a number; a table read replaces the caller's held rows
// only when it succeeds.
#define RUN(expr) [](SerialLink& l, [[maybe_unused]] Held& held) -> std::uint64_t { return expr; }
const struct Shape {
    const char* name;
    std::uint64_t (*run)(SerialLink& link, Held& held);
    std::size_t replySize;
} kShapes[] = {
    {"TableRead", RUN((held = readTable<MediaAction>(l)).size()), 1 + 2 * MediaAction::kSize},
    {"RecordWrite", RUN(writeRecord(l, 1, MakeRecord<GearAction>({0x1C, 0x11223344, 0x81, kFlagRepeat, 0x8004}))), 1},
    {"ValueWrite", RUN(setSetting(l, Setting::IrRepeatPeriod, 500)), 1},
    {"QueryByte", RUN(getSetting(l, Setting::MaxBrightness)), 1},
    {"QueryWord", RUN(getSetting(l, Setting::IrRepeatPeriod)), 2},
    {"PressedButtons", RUN(Packed(getPressedButtons(l))), 5},
};
const FaultKind kKinds[] = {FaultKind::Silence, FaultKind::HangUp, FaultKind::Late, FaultKind::Extra};
const char* const kKindNames[] = {"Silence", "HangUp", "Late", "Extra"};

struct Case {
    int shape, kind, point;  // point: bytes of the reply sent before the fault
};
void PrintTo(const Case& c, std::ostream* os) { *os << kShapes[c.shape].name << '/' << kKindNames[c.kind] << '/' << c.point; }

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (int s = 0; s < 6; ++s)
        for (int k = 0; k < 4; ++k)
            for (int point = 0; point <= static_cast<int>(kShapes[s].replySize); ++point) cases.push_back({s, k, point});
    return cases;
}

constexpr std::uint8_t kMaxBrightness = 77, kExtraByte = 0xEE;
// Deadlines of a whole read: patient where bytes of the reply come first, so
// that a module a busy machine holds back still makes it in time; quick where
// nothing comes and only the deadline can end the read.
const unsigned kPatientMs = ScaledMs(1000), kQuickMs = ScaledMs(100);

// The bytes the line holds for the link, those it has read ahead included,
// once it holds `n` (or a few seconds have passed).
std::size_t pendingAfter(const SerialLink& link, std::size_t n) {
    int have = 0;
    AwaitUpTo([&] { return ioctl(link.handle, FIONREAD, &have) != 0 || link.rx.size() + static_cast<std::size_t>(have) >= n; });
    return link.rx.size() + static_cast<std::size_t>(have);
}

class FaultMatrix : public ::testing::TestWithParam<Case> {};

TEST_P(FaultMatrix, CallerAndNextExchange) {
    const Shape& shape = kShapes[GetParam().shape];
    const FaultKind kind = kKinds[GetParam().kind];
    const auto point = static_cast<std::size_t>(GetParam().point);
    ModuleConfig config = FactoryConfig();
    config.media.resize(2);
    config.settings.maxBrightness = kMaxBrightness;
    VirtualModule module(config);
    module.setLiveChanges(false);
    SerialLink link;
    link.timeouts = {.readMultiplier = 5, .readConstant = kPatientMs, .settleMs = 0};
    ASSERT_TRUE(link.open(module.portPath()));

    // A clean run of the same exchange shows the whole reply it gets, the result and the rows held after it.
    const Held before(3, MakeRecord<MediaAction>({0x16, 0xDEADBEEF, 0, 0, 0}));
    Held held = before, cleanHeld = before;
    const std::uint64_t clean = shape.run(link, cleanHeld);
    const Bytes reply = module.exchanges().back().reply;
    ASSERT_EQ(reply.size(), shape.replySize);

    const bool cut = point < reply.size() && kind != FaultKind::Extra;
    const bool late = kind == FaultKind::Late, hangUp = kind == FaultKind::HangUp;
    link.timeouts.readConstant = point == 0 && !hangUp ? kQuickMs : kPatientMs;
    // A hang-up ends the read however long the gap may be: the module closes
    // its side only once the bytes before it are read.
    if (hangUp) link.timeouts.readInterval = kPatientMs;
    // The rest of a late reply comes once the caller has given up: after the
    // gap between bytes or, where the cut falls at the start of one of its
    // reads, after that read's deadline.
    module.addFault({.kind = late ? FaultKind::Silence : kind, .afterBytes = point, .extra = {kExtraByte}});
    std::string failure;
    try {
        EXPECT_EQ(shape.run(link, held), clean) << "extra bytes or a late rest changed the result";
    } catch (const ProtocolError& e) {
        failure = std::string("ProtocolError: ") + e.what();
    } catch (const SerialError& e) {
        failure = std::string("SerialError: ") + e.what();
    }
    EXPECT_EQ(failure, !cut                       ? ""
                       : hangUp                    ? "SerialError: Read failed."
                                                   : "ProtocolError: Fewer bytes than expected.");
    EXPECT_TRUE(held == (cut ? before : cleanHeld)) << "a failed read changed the held rows, or a read its result";
    link.timeouts.readConstant = kPatientMs;
    if (late) module.sendUnsolicited(Bytes(reply.begin() + static_cast<long>(point), reply.end()), 0);
    // A module held back may take the request only after the caller gave up.
    EXPECT_TRUE(AwaitUpTo([&] { return module.exchangeCount() >= 2; }));
    EXPECT_EQ(module.exchangeCount(), 2u) << "nothing is repeated";

    if (hangUp) {
        ASSERT_TRUE(module.waitForHangUp(ScaledMs(5000)));
        try {
            getSetting(link, Setting::MaxBrightness);
            ADD_FAILURE() << "a request was written after a hang-up";
        } catch (const SerialError& e) {
            EXPECT_STREQ(e.what(), "Write failed.");
        }
        return;
    }
    // The line holds the late rest of this reply or the extra byte; the next
    // exchange reads those first and leaves its own reply behind them.
    Bytes line;
    if (late) line.assign(reply.begin() + static_cast<long>(point), reply.end());
    if (kind == FaultKind::Extra) line = {kExtraByte};
    ASSERT_EQ(pendingAfter(link, line.size()), line.size());
    line.push_back(kMaxBrightness);
    EXPECT_EQ(getSetting(link, Setting::MaxBrightness), line.front());
    Bytes rest(line.size() - 1);
    ASSERT_EQ(pendingAfter(link, rest.size()), rest.size());
    link.readExact(rest.data(), rest.size());
    EXPECT_EQ(rest, Bytes(line.begin() + 1, line.end()));
}

INSTANTIATE_TEST_SUITE_P(EveryShapePointAndFault, FaultMatrix, ::testing::ValuesIn(allCases()), [](const auto& info) {
    return std::string(kShapes[info.param.shape].name) + "_" + kKindNames[info.param.kind] + "_after" +
           std::to_string(info.param.point);
});

}  // namespace
