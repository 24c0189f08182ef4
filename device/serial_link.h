#pragma once
// The one connection to the module: a serial port opened exclusively for
// synchronous byte I/O at 115200 baud, 8 data bits, no parity, one stop bit.
// serial_link_posix.cpp and serial_link_win32.cpp are the two backends.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// An operating-system read or write call failed ("Read failed." / "Write failed.").
class SerialError : public std::runtime_error {
public:
    explicit SerialError(const std::string& message) : std::runtime_error(message) {}
};

// A reply stopped short within the link's time-outs.
class ProtocolError : public std::runtime_error {
public:
    ProtocolError() : std::runtime_error("Fewer bytes than expected.") {}
};

// Deadlines of the link in milliseconds. The first five fields mirror
// COMMTIMEOUTS; settleMs is the wait after configuring the port, before both
// directions are purged. The defaults are the module's contract; tests may
// shorten them.
struct LinkTimeouts {
    unsigned readInterval = 50;     // longest gap between two received bytes
    unsigned readMultiplier = 50;   // per byte asked for
    unsigned readConstant = 5000;   // plus this, for a whole read
    unsigned writeMultiplier = 10;  // per byte written
    unsigned writeConstant = 50;    // plus this, for a whole write
    unsigned settleMs = 2000;
};

#ifdef _WIN32
using NativeHandle = void*;  // HANDLE
#else
using NativeHandle = int;    // file descriptor
#endif
NativeHandle UnopenedHandle();  // the value before the first open
NativeHandle InvalidHandle();   // the value after every close and failed open

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Bytes a read took from the port beyond what it asked for, kept for the
// reads after it: one call takes whatever has arrived, up to what a
// terminal's line discipline holds, so a whole table reply fits. Windows
// needs none: its driver times the reads (COMMTIMEOUTS) and hands over
// exactly what is asked; nor does the page, whose port keeps what has
// arrived on the script's side until a read takes it.
struct ReceiveBuffer {
    std::array<std::uint8_t, 4096> bytes{};
    std::size_t first = 0, end = 0;  // the bytes not taken yet
    std::size_t size() const { return end - first; }
};
#endif

// Why an open failed, from the operating system's error.
enum class OpenFault {
    None,              // the last open succeeded, or none was tried
    NotFound,          // no such path, or no device behind it
    NotSerial,         // something that is not a serial port: a file, a folder, another device
    Busy,              // another program (or another link) holds the port
    PermissionDenied,  // the user may not open it
    Other,             // any other error; see the system text
};

struct OpenFailure {
    OpenFault fault = OpenFault::None;
    std::string systemText;  // the operating system's words for its error (UTF-8), when it gave one
    std::string group;       // PermissionDenied on Linux: the group that may open the port
};

struct SerialLink {
    NativeHandle handle = UnopenedHandle();
    bool connected = false;  // the user-level state; set by the connect workflow
    LinkTimeouts timeouts;
    OpenFailure openFailure;    // why the last open failed
    std::size_t received = 0;   // bytes read since the last open: none means nothing ever answered
    // A flag someone else raises to stop this link between two exchanges
    // (korvelctl's Ctrl+C); none by default. Once it is up, writeExact sends
    // nothing and marks the link interrupted, so an exchange under way still
    // gets its reply and the module is never left inside a request.
    const std::atomic<bool>* stop = nullptr;
    bool interrupted = false;   // a write was held back by the stop flag since the last open
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    ReceiveBuffer rx;           // emptied by every open and close
#endif

    SerialLink() = default;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;
    ~SerialLink() { close(); }

    // Opens and configures the port (COM3 on Windows, a device path elsewhere).
    // False leaves the link closed, with openFailure saying why. Throws nothing of its own.
    bool open(std::string port);
    void close();
    bool isOpen() const;
    // One write call of n bytes; SerialError "Write failed." when it fails or is short,
    // SerialError "Interrupted." without writing when the stop flag is up.
    void writeExact(const std::uint8_t* bytes, std::size_t n);
    // One read of n bytes; SerialError "Read failed." when the call fails,
    // ProtocolError when it ends short.
    void readExact(std::uint8_t* buffer, std::size_t n);

private:
    // Both backends' writeExact start here.
    void holdBackWhenStopped() {
        if (!stop || !stop->load()) return;
        interrupted = true;
        throw SerialError("Interrupted.");
    }
};
