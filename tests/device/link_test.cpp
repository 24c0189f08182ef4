// The serial link on a real pseudo-terminal: opening, exclusive access, the
// settle wait and purge, time-outs, and a line that hangs up.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "module_line.h"

namespace {

using Clock = std::chrono::steady_clock;

void UseShortTimeouts(SerialLink& link) { link.timeouts = ShortTimeouts(); }

TEST(LinkOpen, StartsUnopenedAndPrintsTheDiagnosticLine) {
    VirtualModule module;
    SerialLink link;
    UseShortTimeouts(link);
    EXPECT_EQ(link.handle, UnopenedHandle());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.connected);
    testing::internal::CaptureStdout();
    bool opened = link.open(module.portPath());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Connecting to COM port.\n");
    EXPECT_TRUE(opened);
    EXPECT_TRUE(link.isOpen());
    EXPECT_FALSE(link.connected) << "open never sets the user-level flag";
}

TEST(LinkOpen, MissingPathFailsWithTheLinkClosed) {
    SerialLink link;
    UseShortTimeouts(link);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(link.open("/dev/pts/no-such-port"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Connecting to COM port.\n");
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.handle, InvalidHandle());
}

TEST(LinkOpen, AFileThatIsNoTerminalIsRefused) {
    SerialLink link;
    UseShortTimeouts(link);
    EXPECT_FALSE(link.open("/dev/null"));
    EXPECT_EQ(link.handle, InvalidHandle());
}

TEST(LinkOpen, CloseClearsHandleAndConnectedFlag) {
    VirtualModule module;
    SerialLink link;
    UseShortTimeouts(link);
    ASSERT_TRUE(link.open(module.portPath()));
    link.connected = true;
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.connected);
    EXPECT_EQ(link.handle, InvalidHandle());
    link.close();  // closing a closed link is harmless
    EXPECT_EQ(link.handle, InvalidHandle());
}

TEST(LinkOpen, SecondOpenInTheSameProcessFailsWhileTheFirstHoldsThePort) {
    VirtualModule module;
    SerialLink first, second;
    UseShortTimeouts(first);
    UseShortTimeouts(second);
    ASSERT_TRUE(first.open(module.portPath()));
    EXPECT_FALSE(second.open(module.portPath()));
    EXPECT_EQ(second.handle, InvalidHandle());
    EXPECT_EQ(getMaxBrightness(first), FactoryConfig().maxBrightness) << "the holder is not disturbed";
    first.close();
    EXPECT_TRUE(second.open(module.portPath())) << "a closed port can be opened again";
}

// TIOCEXCL belongs to the terminal, not to the descriptor: the module keeps
// its side open, so a flag left behind would lock out the next non-root opener.
TEST(LinkOpen, ExclusiveModeLastsAsLongAsThePortIsHeld) {
    VirtualModule module;
    SerialLink link;
    UseShortTimeouts(link);
    int observer = ::open(module.portPath().c_str(), O_RDWR | O_NOCTTY);  // root passes TIOCEXCL
    ASSERT_GE(observer, 0);
    int exclusive = -1;
    ASSERT_TRUE(link.open(module.portPath()));
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    link.close();
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(observer);
}

TEST(LinkOpen, SecondOpenFromAnotherProcessFailsWhileThisOneHoldsThePort) {
    VirtualModule module;
    SerialLink link;
    UseShortTimeouts(link);
    ASSERT_TRUE(link.open(module.portPath()));
    // The child answers through a pipe rather than its exit status, which a
    // memory checker may take over.
    auto openFromChild = [&] {
        int answer[2];
        if (pipe(answer) != 0) return 'E';
        std::fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            SerialLink other;
            other.timeouts = ShortTimeouts();
            char opened = other.open(module.portPath()) ? 'Y' : 'N';
            [[maybe_unused]] auto ignored = write(answer[1], &opened, 1);
            _exit(0);
        }
        close(answer[1]);
        char opened = 'E';
        if (read(answer[0], &opened, 1) != 1) opened = 'E';
        close(answer[0]);
        waitpid(child, nullptr, 0);
        return opened;
    };
    EXPECT_EQ(openFromChild(), 'N') << "the other process's open must fail";
    link.close();
    EXPECT_EQ(openFromChild(), 'Y') << "once released, the other process may open it";
}

TEST(LinkOpen, OpeningAnotherPortReleasesTheFirst) {
    VirtualModule a, b;
    SerialLink link, other;
    UseShortTimeouts(link);
    UseShortTimeouts(other);
    ASSERT_TRUE(link.open(a.portPath()));
    ASSERT_TRUE(link.open(b.portPath()));
    EXPECT_TRUE(other.open(a.portPath())) << "the first port was closed before the second was opened";
    other.close();

    // A failed second open leaves no port open at all.
    EXPECT_FALSE(link.open("/dev/pts/no-such-port"));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(other.open(b.portPath()));
}

TEST(LinkOpen, BytesSentBeforeTheSettleWaitEndsAreDiscarded) {
    VirtualModule module;
    module.sendUnsolicited({0xA1, 0xA2}, 0);
    usleep(50 * 1000);  // these are on the line before anyone opens it
    module.sendUnsolicited({0xB1, 0xB2, 0xB3}, 100);
    SerialLink link;
    UseShortTimeouts(link);
    link.timeouts.settleMs = 300;
    ASSERT_TRUE(link.open(module.portPath()));
    EXPECT_EQ(getMaxBrightness(link), FactoryConfig().maxBrightness);
    EXPECT_EQ(getIRFullRepeat(link), FactoryConfig().irFullRepeat) << "nothing stale is left behind";
}

// The one test of the real settle wait of 2000 ms.
TEST(LinkOpen, DefaultSettleWaitOfTwoSecondsDiscardsBytesSentDuringIt) {
    VirtualModule module;
    SerialLink link;
    module.sendUnsolicited({0xC1, 0xC2}, 1500);
    auto start = Clock::now();
    ASSERT_TRUE(link.open(module.portPath()));
    EXPECT_GE(SecondsSince(start), 2.0);
    EXPECT_LT(SecondsSince(start), 2.5);
    EXPECT_EQ(getMaxBrightness(link), FactoryConfig().maxBrightness);
}

// The one test of the real read time-outs: 5000 ms plus 50 ms for the byte.
TEST(LinkTimeouts, SilentModuleEndsAOneByteReadAfterAboutFiveSeconds) {
    VirtualModule module;
    SerialLink link;
    link.timeouts.settleMs = 0;
    ASSERT_TRUE(link.open(module.portPath()));
    module.addFault({.kind = FaultKind::Silence, .command = cmd::getMaxBrightness});
    auto start = Clock::now();
    try {
        getMaxBrightness(link);
        FAIL() << "a silent module must end in ProtocolError";
    } catch (const ProtocolError& e) {
        EXPECT_STREQ(e.what(), "Fewer bytes than expected.");
    }
    double took = SecondsSince(start);
    EXPECT_GE(took, 5.04);
    EXPECT_LT(took, 5.4);
    EXPECT_TRUE(link.isOpen()) << "a protocol error leaves the link open";
}

TEST(LinkTimeouts, PauseInsideAReplyEndsTheReadAtTheGap) {
    VirtualModule module;
    SerialLink link;
    UseShortTimeouts(link);
    link.timeouts.readConstant = 2000;
    ASSERT_TRUE(link.open(module.portPath()));
    module.addFault({.kind = FaultKind::Silence, .command = cmd::getPressedButtons, .afterBytes = 3});
    auto start = Clock::now();
    EXPECT_THROW(getPressedButtons(link), ProtocolError);
    double took = SecondsSince(start);
    EXPECT_GE(took, 0.045);
    EXPECT_LT(took, 0.5) << "the 50 ms gap ends the read, not the total deadline";
    EXPECT_EQ(module.exchanges().back().reply.size(), 3u);
}

TEST(LinkTimeouts, ErrorTypesAreRuntimeErrorsWithTheirMessages) {
    const std::runtime_error& protocol = ProtocolError();
    const std::runtime_error& serial = SerialError("Read failed.");
    EXPECT_STREQ(protocol.what(), "Fewer bytes than expected.");
    EXPECT_STREQ(serial.what(), "Read failed.");
}

TEST(LinkClosed, ExchangeWithoutAnOpenPortFailsAtTheWrite) {
    SerialLink link;
    try {
        getMaxBrightness(link);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Write failed.");
    }
    std::uint8_t byte = 0;
    try {
        link.readExact(&byte, 1);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Read failed.");
    }
}

using LinkHangUp = ModuleLine;

TEST_F(LinkHangUp, ReadFailsOnTheExchangeAndWriteFailsOnTheNext) {
    module.addFault({.kind = FaultKind::HangUp, .command = cmd::getPressedButtons, .afterBytes = 2});
    try {
        getPressedButtons(link);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Read failed.");
    }
    try {
        getMaxBrightness(link);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Write failed.");
    }
    EXPECT_TRUE(link.isOpen()) << "the link never closes itself";
    link.close();
    EXPECT_FALSE(link.open(module.portPath())) << "the hung-up line is gone";
}

TEST_F(LinkHangUp, HangUpAfterAGivenNumberOfExchanges) {
    module.hangUpAfter(2);
    EXPECT_EQ(getMaxBrightness(link), FactoryConfig().maxBrightness);
    EXPECT_EQ(getIRRepeatPeriod(link), FactoryConfig().irRepeatPeriod);
    ASSERT_TRUE(module.waitForHangUp(2000));
    try {
        getMaxBrightness(link);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Write failed.");
    }
    EXPECT_EQ(module.exchangeCount(), 2u);
}

TEST_F(LinkHangUp, HangUpAtOnceFailsTheNextWrite) {
    module.hangUpAfter(0);
    try {
        getMaxBrightness(link);
        FAIL();
    } catch (const SerialError& e) {
        EXPECT_STREQ(e.what(), "Write failed.");
    }
    EXPECT_EQ(module.exchangeCount(), 0u);
}

}  // namespace
