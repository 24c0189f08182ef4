// libFuzzer target and corpus replayer: every command against any reply.
// The peer is a pseudo-terminal this file opens itself; the link opens its
// other end like a serial port. Input: a command selector, a mode byte (bit 0:
// the peer hangs up once the request is in), the request's argument bytes,
// then the reply bytes the peer has ready.
// The request on the wire must be the command byte and its arguments; the
// result must be what the reply spells, or ProtocolError when it is short (a
// SerialError "Read failed." after a hang-up); bytes past the reply must stay
// in the line for the next exchange; and nothing may outlast its time-outs.

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "device/protocol.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// The longest reply is a count of 255 with 10-byte records; a little more
// leaves bytes over. It all fits the terminal's 4096-byte input buffer.
constexpr std::size_t kMaxReply = 2600;

// The whole reply is in the line before the request goes out, so a short
// reply is the only thing the link waits for: 1 ms is enough to see it.
constexpr LinkTimeouts kQuick{1, 0, 1, 10, 50, 0};
// With a hang-up, the peer closes a moment after the request; the link must
// see the hang-up, not time out first.
constexpr LinkTimeouts kPatient{2000, 0, 2000, 10, 50, 0};

struct Line {
    int peer = -1;  // the pseudo-terminal's master side
    SerialLink link;
};

Line& openLine() {
    static Line line;
    if (line.link.isOpen()) return line;
    line.peer = posix_openpt(O_RDWR | O_NOCTTY);
    FUZZ_CHECK(line.peer >= 0 && grantpt(line.peer) == 0 && unlockpt(line.peer) == 0);
    line.link.timeouts = kQuick;
    FUZZ_CHECK(line.link.open(ptsname(line.peer)));
    return line;
}

void writeAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        // libFuzzer's timer signal may interrupt a call that waits.
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) std::perror("peer write");
        FUZZ_CHECK(n > 0);
        done += static_cast<std::size_t>(n);
    }
}

int pending(int fd) {
    int n = 0;
    FUZZ_CHECK(ioctl(fd, FIONREAD, &n) == 0);
    return n;
}

// Reads what fd has now, or within waitMs for the first byte.
Bytes drain(int fd, int waitMs) {
    Bytes got;
    std::uint8_t buf[4096];
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&p, 1, got.empty() ? waitMs : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || !(p.revents & POLLIN)) return got;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return got;
        got.insert(got.end(), buf, buf + n);
    }
}

template <class R>
R recordAt(const std::uint8_t* a) {
    R r;
    for (std::size_t i = 0; i < R::kSize; ++i) r.bytes[i] = a[i];
    return r;
}

template <class R>
Bytes flat(const std::vector<R>& records) {
    Bytes out;
    for (const auto& r : records) out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    return out;
}

Bytes word(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

// Runs the operation of the command with arguments taken from `a`; the value
// comes back as the bytes it was made of (a table's records end to end).
Bytes runCommand(SerialLink& link, std::uint8_t command, const std::uint8_t* a) {
    const auto u16 = static_cast<std::uint16_t>(a[0] | a[1] << 8);
    switch (command) {
    case cmd::getMediaActions: return flat(getMediaActions(link));
    case cmd::getGearActions: return flat(getGearActions(link));
    case cmd::getHornActions: return flat(getHornActions(link));
    case cmd::getAccActions: return flat(getAccActions(link));
    case cmd::setMediaAction: return {setMediaAction(link, a[0], recordAt<MediaAction>(a + 1))};
    case cmd::setGearAction: return {setGearAction(link, a[0], recordAt<GearAction>(a + 1))};
    case cmd::setHornAction: return {setHornAction(link, a[0], recordAt<HornAction>(a + 1))};
    case cmd::setAccAction: return {setAccAction(link, a[0], recordAt<AccAction>(a + 1))};
    case cmd::setMaxBrightness: return {setMaxBrightness(link, a[0])};
    case cmd::setIRFullRepeat: return {setIRFullRepeat(link, a[0])};
    case cmd::setIRRepeatPeriod: return {setIRRepeatPeriod(link, u16)};
    case cmd::setDefaultResistance: return {setDefaultResistance(link, u16)};
    case cmd::sendIR:
        return {sendIR(link, static_cast<std::uint32_t>(a[0] | a[1] << 8 | a[2] << 16) | std::uint32_t{a[3]} << 24)};
    case cmd::getCurrentBrightness: return {getCurrentBrightness(link)};
    case cmd::saveConfig: return {saveConfig(link)};
    case cmd::loadConfig: return {loadConfig(link)};
    case cmd::resetConfig: return {resetConfig(link)};
    case cmd::getMaxBrightness: return {getMaxBrightness(link)};
    case cmd::getIRFullRepeat: return {getIRFullRepeat(link)};
    case cmd::getIRRepeatPeriod: return word(getIRRepeatPeriod(link));
    case cmd::getDefaultResistance: return word(getDefaultResistance(link));
    default: {
        const PressedButtons p = getPressedButtons(link);
        const Bytes acc = word(p.acc);
        return {p.media, p.gears, p.horn, acc[0], acc[1]};
    }
    }
}

// Where the command's reply ends in `reply`, and where its value starts.
struct ReplyShape {
    std::size_t valueFrom = 0;
    std::size_t end = 1;
};

ReplyShape shapeOf(std::uint8_t command, const Bytes& reply) {
    switch (command) {
    case cmd::getMediaActions:
    case cmd::getGearActions:
    case cmd::getHornActions:
    case cmd::getAccActions: {
        const std::size_t recordSize = command == cmd::getAccActions ? 10 : 9;
        return {1, reply.empty() ? 1 : 1 + reply[0] * recordSize};
    }
    case cmd::getIRRepeatPeriod:
    case cmd::getDefaultResistance: return {0, 2};
    case cmd::getPressedButtons: return {0, 5};
    default: return {0, 1};
    }
}

enum class Outcome { Value, Protocol, Serial };

struct Result {
    Outcome outcome = Outcome::Value;
    Bytes value;
    std::string what;
};

Result exchange(SerialLink& link, std::uint8_t command, const std::uint8_t* args) {
    try {
        return {Outcome::Value, runCommand(link, command, args), {}};
    } catch (const ProtocolError& e) {
        return {Outcome::Protocol, {}, e.what()};
    } catch (const SerialError& e) {
        return {Outcome::Serial, {}, e.what()};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto command = static_cast<std::uint8_t>(data[0] % 22);
    const bool hangUp = data[1] & 1;
    std::array<std::uint8_t, 11> args{};
    const auto argCount = static_cast<std::size_t>(RequestArgumentBytes(command));
    std::size_t at = 2;
    for (std::size_t i = 0; i < argCount && at < size; ++i) args[i] = data[at++];
    const Bytes reply(data + at, data + std::min(size, at + kMaxReply));
    Bytes request{command};
    request.insert(request.end(), args.begin(), args.begin() + static_cast<long>(argCount));

    Line& line = openLine();
    writeAll(line.peer, reply);
    const auto loaded = Clock::now() + std::chrono::seconds(2);
    while (pending(line.link.handle) < static_cast<int>(reply.size()) && Clock::now() < loaded)
        std::this_thread::yield();
    FUZZ_CHECK(pending(line.link.handle) == static_cast<int>(reply.size()));

    std::thread peer;
    if (hangUp) {
        line.link.timeouts = kPatient;
        peer = std::thread([&line, &request] {
            FUZZ_CHECK(drain(line.peer, 2000) == request);
            ::close(line.peer);
        });
    }
    const auto start = Clock::now();
    const Result result = exchange(line.link, command, args.data());
    const auto took = Clock::now() - start;
    const ReplyShape shape = shapeOf(command, reply);
    const bool complete = reply.size() >= shape.end;

    if (hangUp) {
        peer.join();
        FUZZ_CHECK(took < std::chrono::milliseconds(1500));
        if (result.outcome == Outcome::Value) {
            FUZZ_CHECK(complete);
        } else {
            FUZZ_CHECK(result.outcome == Outcome::Serial && result.what == "Read failed.");
        }
        line.link.close();
        line.link.timeouts = kQuick;
    } else {
        FUZZ_CHECK(took < std::chrono::milliseconds(500));
        FUZZ_CHECK(drain(line.peer, 100) == request);
        if (complete) {
            FUZZ_CHECK(result.outcome == Outcome::Value);
            // Whatever followed the reply is the start of the next one.
            FUZZ_CHECK(drain(line.link.handle, 0) == Bytes(reply.begin() + static_cast<long>(shape.end), reply.end()));
        } else {
            FUZZ_CHECK(result.outcome == Outcome::Protocol && result.what == "Fewer bytes than expected.");
            FUZZ_CHECK(pending(line.link.handle) == 0);
        }
    }
    if (result.outcome == Outcome::Value) {
        FUZZ_CHECK(result.value == Bytes(reply.begin() + static_cast<long>(shape.valueFrom),
                                         reply.begin() + static_cast<long>(shape.end)));
    }
    return 0;
}
