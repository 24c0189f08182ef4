// libFuzzer target and corpus replayer: every command against any reply from
// a peer on a pseudo-terminal. Input: a command selector, a mode byte (bit 0:
// the peer hangs up once the request is in), the argument bytes, then the
// reply the peer has ready. The request must go out as given; the result must
// be what the reply spells, or ProtocolError when it is short (SerialError
// "Read failed." after a hang-up); bytes past the reply stay in the line; and
// nothing may outlast its time-outs.

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "device/protocol.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Past the longest reply (255 records of 10 bytes), within the 4096-byte buffer.
constexpr std::size_t kMaxReply = 2600;
// The reply is in the line before the request goes out, so 1 ms shows a short
// one; with a hang-up, the link must see the hang-up before it times out.
constexpr LinkTimeouts kQuick{1, 0, 1, 10, 50, 0};
constexpr LinkTimeouts kPatient{2000, 0, 2000, 10, 50, 0};

int peer = -1;  // the pseudo-terminal's master side; the link opens the other end
SerialLink line;

void openLine() {
    if (line.isOpen()) return;
    peer = posix_openpt(O_RDWR | O_NOCTTY);
    line.timeouts = kQuick;  // no settling time
    FUZZ_CHECK(peer >= 0 && grantpt(peer) == 0 && unlockpt(peer) == 0 && line.open(ptsname(peer)));
}

int pending(int fd) {
    int n = 0;
    FUZZ_CHECK(ioctl(fd, FIONREAD, &n) == 0);
    return n;
}

// Reads what fd has now, or within waitMs for the first byte. libFuzzer's
// timer signal may interrupt any call that waits.
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

// What the link has for the next read: the bytes it read ahead, then those
// the line holds. Ends with the first read that finds nothing.
Bytes leftOver(SerialLink& link) {
    Bytes got;
    std::uint8_t byte = 0;
    try {
        for (;;) {
            link.readExact(&byte, 1);
            got.push_back(byte);
        }
    } catch (const ProtocolError&) {
    }
    return got;
}

template <class R>
Bytes flat(const std::vector<R>& records) {
    Bytes out;
    for (const auto& r : records) out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    return out;
}

// Runs the command with arguments taken from `a`; the value comes back as the
// reply bytes it was made of (a table's records end to end).
Bytes runCommand(SerialLink& link, std::uint8_t command, const std::uint8_t* a) {
    const auto u16 = static_cast<std::uint16_t>(a[0] | a[1] << 8);
    const auto recordAt = [a]<class R>(R r) { return std::copy_n(a + 1, R::kSize, r.bytes.begin()), r; };
    const auto word = [](std::uint16_t v) { return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; };
    switch (command) {
    case cmd::getMediaActions: return flat(readTable<MediaAction>(link));
    case cmd::getGearActions: return flat(readTable<GearAction>(link));
    case cmd::getHornActions: return flat(readTable<HornAction>(link));
    case cmd::getAccActions: return flat(readTable<AccAction>(link));
    case cmd::setMediaAction: return {writeRecord(link, a[0], recordAt(MediaAction{}))};
    case cmd::setGearAction: return {writeRecord(link, a[0], recordAt(GearAction{}))};
    case cmd::setHornAction: return {writeRecord(link, a[0], recordAt(HornAction{}))};
    case cmd::setAccAction: return {writeRecord(link, a[0], recordAt(AccAction{}))};
    case cmd::setMaxBrightness: return {setSetting(link, Setting::MaxBrightness, a[0])};
    case cmd::setIRFullRepeat: return {setSetting(link, Setting::IrFullRepeat, a[0])};
    case cmd::setIRRepeatPeriod: return {setSetting(link, Setting::IrRepeatPeriod, u16)};
    case cmd::setDefaultResistance: return {setSetting(link, Setting::DefaultResistance, u16)};
    case cmd::sendIR: return {sendIR(link, u16 | std::uint32_t{a[2]} << 16 | std::uint32_t{a[3]} << 24)};
    case cmd::getIRRepeatPeriod:
    case cmd::getDefaultResistance: return word(queryWord(link, command));
    case cmd::getPressedButtons: {
        const PressedButtons p = getPressedButtons(link);
        const Bytes acc = word(p.acc);
        return {p.media, p.gears, p.horn, acc[0], acc[1]};
    }
    default: return {queryByte(link, command)};
    }
}

// Where the command's reply ends: a table's count byte says how many records follow.
bool isTable(std::uint8_t c) {
    return c == cmd::getMediaActions || c == cmd::getGearActions || c == cmd::getHornActions || c == cmd::getAccActions;
}
std::size_t replyEnd(std::uint8_t c, const Bytes& reply) {
    if (isTable(c)) return reply.empty() ? 1 : 1 + reply[0] * (c == cmd::getAccActions ? 10u : 9u);
    return c == cmd::getIRRepeatPeriod || c == cmd::getDefaultResistance ? 2 : c == cmd::getPressedButtons ? 5 : 1;
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

    openLine();
    for (std::size_t done = 0; done < reply.size();) {
        const ssize_t n = ::write(peer, reply.data() + done, reply.size() - done);
        FUZZ_CHECK(n > 0 || errno == EINTR);
        done += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    }
    const auto loaded = Clock::now() + std::chrono::seconds(2);
    while (pending(line.handle) < static_cast<int>(reply.size()) && Clock::now() < loaded) std::this_thread::yield();
    FUZZ_CHECK(pending(line.handle) == static_cast<int>(reply.size()));

    std::thread hangingUp;
    if (hangUp) hangingUp = std::thread([&request] { 
        FUZZ_CHECK(drain(peer, 2000) == request);
        ::close(peer);
    });
    line.timeouts = hangUp ? kPatient : kQuick;
    const auto start = Clock::now();
    Bytes value;
    std::string failure;
    try {
        value = runCommand(line, command, args.data());
    } catch (const ProtocolError& e) {
        failure = std::string("ProtocolError: ") + e.what();
    } catch (const SerialError& e) {
        failure = std::string("SerialError: ") + e.what();
    }
    const auto took = Clock::now() - start;
    const std::size_t end = replyEnd(command, reply), valueFrom = isTable(command) ? 1 : 0;
    const bool complete = reply.size() >= end;

    if (hangUp) {
        hangingUp.join();
        FUZZ_CHECK(took < std::chrono::milliseconds(1500));
        FUZZ_CHECK(failure.empty() ? complete : failure == "SerialError: Read failed.");
        line.close();
    } else {
        FUZZ_CHECK(took < std::chrono::milliseconds(500));
        FUZZ_CHECK(drain(peer, 100) == request);
        // A complete reply gives a value, and what followed it starts the next one.
        FUZZ_CHECK(failure == (complete ? "" : "ProtocolError: Fewer bytes than expected."));
        FUZZ_CHECK(leftOver(line) == Bytes(reply.begin() + static_cast<long>(std::min(end, reply.size())), reply.end()));
    }
    if (failure.empty()) FUZZ_CHECK(value == Bytes(reply.begin() + static_cast<long>(valueFrom), reply.begin() + static_cast<long>(end)));
    return 0;
}
