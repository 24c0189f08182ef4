// Web Serial backend of SerialLink, for the page: the browser's serial ports,
// and any port the page offers with the same streams (its virtual module),
// through serial_link_web.js. The browser's serial calls are asynchronous; a
// read or write that has to wait suspends the WebAssembly module until the
// port answers or its deadline passes, so everything above stays synchronous.
// Bytes that arrive wait in the JavaScript side's queue until a read takes
// them: a read that finds its bytes there returns at once, and one that has
// to wait is woken once, when all it asks for is there or a deadline passes.
// A write does not wait for the port: the exchange's read that follows does.
#include "device/serial_link.h"

#include <chrono>

#include <emscripten.h>

#include "device/trace.h"

extern "C" {
// A link's handle (1 or more), or minus the OpenFault of a port that did not
// open, whose words korvel_link_open_error then gives. Suspends.
int korvel_link_open(const char* port);
// The browser's words for the last failed open, as UTF-8, at most capacity - 1 bytes.
void korvel_link_open_error(char* into, int capacity);
// Stops the link's streams and closes its port; a later open of the same port waits for that.
void korvel_link_close(int handle);
// Up to `capacity` of the bytes that have arrived; -1 when none are left and
// the port has gone, -2 when a write has failed.
int korvel_link_take(int handle, std::uint8_t* into, int capacity);
// 1 once `want` bytes have arrived, the port has gone or a write has failed;
// 0 when `totalMs` passed first, or `gapMs` after the last byte (counted from
// the call when `gapStarted`). Suspends.
int korvel_link_wait(int handle, int want, int totalMs, int gapMs, int gapStarted);
// Drops the bytes that have arrived.
void korvel_link_purge(int handle);
// Hands `n` bytes to the port; -1 when the link is already broken. A write
// that then fails, or misses its `ms`, fails the next take.
int korvel_link_write(int handle, const std::uint8_t* bytes, int n, int ms);
}

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Minus korvel_link_open's result, as an OpenFault.
constexpr OpenFault kOpenFaults[] = {OpenFault::Other, OpenFault::NotFound, OpenFault::NotSerial,
                                     OpenFault::Busy, OpenFault::PermissionDenied, OpenFault::Other};

}  // namespace

NativeHandle UnopenedHandle() { return -2; }
NativeHandle InvalidHandle() { return -1; }

bool SerialLink::isOpen() const { return handle >= 0; }

void SerialLink::close() {
    if (isOpen()) korvel_link_close(handle);
    handle = InvalidHandle();
    connected = false;
}

bool SerialLink::open(std::string port) {
    if (isOpen()) korvel_link_close(handle);
    handle = InvalidHandle();
    openFailure = {};
    received = 0;
    interrupted = false;
    Trace(TraceChannel::Console, L"Connecting to COM port.\n");
    const int opened = korvel_link_open(port.c_str());
    if (opened < 0) {
        const int fault = -opened;
        openFailure.fault = kOpenFaults[fault < static_cast<int>(std::size(kOpenFaults)) ? fault : 0];
        char words[256];
        korvel_link_open_error(words, sizeof words);
        openFailure.systemText = words;
        return false;
    }
    handle = opened;
    emscripten_sleep(timeouts.settleMs);
    korvel_link_purge(handle);
    return true;
}

void SerialLink::writeExact(const std::uint8_t* bytes, std::size_t n) {
    if (!isOpen()) throw SerialError("Write failed.");
    holdBackWhenStopped();
    const auto ms = timeouts.writeConstant + timeouts.writeMultiplier * n;
    if (korvel_link_write(handle, bytes, static_cast<int>(n), static_cast<int>(ms)) != 0)
        throw SerialError("Write failed.");
}

void SerialLink::readExact(std::uint8_t* buffer, std::size_t n) {
    if (!isOpen()) throw SerialError("Read failed.");
    const auto total = Clock::now() + Millis(timeouts.readConstant + timeouts.readMultiplier * n);
    std::size_t got = 0;
    // Takes what has arrived, up to the bytes still missing; false when nothing came.
    auto take = [&] {
        const int taken = korvel_link_take(handle, buffer + got, static_cast<int>(n - got));
        if (taken == -2) throw SerialError("Write failed.");  // the request never went out
        if (taken < 0) throw SerialError("Read failed.");     // the port went away
        got += static_cast<std::size_t>(taken);
        received += static_cast<std::size_t>(taken);
        return taken > 0;
    };
    while (got < n) {
        take();
        const int left = RemainingMs(total);
        if (got == n || left == 0) break;
        // Before the first byte only the total deadline applies; after it,
        // also the gap between bytes. What came before a deadline still counts.
        if (korvel_link_wait(handle, static_cast<int>(n - got), left, static_cast<int>(timeouts.readInterval),
                             got > 0) == 0) {
            take();
            break;
        }
    }
    if (got < n) throw ProtocolError();
}
