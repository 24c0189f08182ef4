// POSIX backend of SerialLink: termios, poll() and a monotonic clock.
#include "device/serial_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "device/trace.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool Configure(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CSIZE);
    tio.c_cflag |= CS8;
    // Reads are timed by poll() below, not by VMIN/VTIME: VTIME counts tenths
    // of a second and only starts after the first byte.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0) return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// What an errno of the open and the calls after it means for the user.
OpenFault FaultOf(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV: return OpenFault::NotFound;
    case EISDIR:
    case ENOTTY: return OpenFault::NotSerial;
    case EBUSY: return OpenFault::Busy;
    case EACCES:
    case EPERM: return OpenFault::PermissionDenied;
    default: return OpenFault::Other;
    }
}

// The name of a group, or its number when it has none.
std::string GroupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->gr_name;
    return std::to_string(gid);
}

// Gives the port up. TIOCEXCL is a flag of the terminal, not of this
// descriptor: when something else keeps the terminal open (a pseudo-terminal's
// other side does), the flag would outlive us and lock out the next opener.
void Release(int fd) {
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

// Hands up to n buffered bytes to a read; they count as received once a read takes them.
std::size_t TakeBuffered(SerialLink& link, std::uint8_t* to, std::size_t n) {
    ReceiveBuffer& rx = link.rx;
    const std::size_t taken = std::min(n, rx.size());
    std::copy_n(rx.bytes.begin() + static_cast<std::ptrdiff_t>(rx.first), taken, to);
    rx.first += taken;
    link.received += taken;
    return taken;
}

}  // namespace

NativeHandle UnopenedHandle() { return -2; }
NativeHandle InvalidHandle() { return -1; }

bool SerialLink::isOpen() const { return handle >= 0; }

void SerialLink::close() {
    if (isOpen()) Release(handle);
    handle = InvalidHandle();
    connected = false;
    rx = {};
}

bool SerialLink::open(std::string port) {
    if (isOpen()) {
        Release(handle);
        handle = InvalidHandle();
    }
    openFailure = {};
    received = 0;
    interrupted = false;
    rx = {};  // nothing read on the last open reaches a reply on this one
    Trace(TraceChannel::Console, L"Connecting to COM port.\n");

    struct stat device {};
    const bool found = ::stat(port.c_str(), &device) == 0;
    auto fail = [&](OpenFault fault, int error) {
        handle = InvalidHandle();
        openFailure.fault = fault;
        if (error != 0) openFailure.systemText = std::strerror(error);
        // The group that may open a device: dialout for serial adapters on most systems.
        if (fault == OpenFault::PermissionDenied && found) openFailure.group = GroupName(device.st_gid);
        return false;
    };
    if (!found) return fail(FaultOf(errno), errno);  // a link whose target is gone too
    if (!S_ISCHR(device.st_mode)) return fail(OpenFault::NotSerial, 0);

    int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(FaultOf(errno), errno);
    if (!isatty(fd)) {
        ::close(fd);
        return fail(OpenFault::NotSerial, 0);
    }
    // Exclusive access takes both locks. TIOCEXCL alone does not stop root
    // (nor an opener that raced us between open and ioctl); the advisory lock
    // alone does not stop programs that never ask for it. A second opener in
    // this process gets its own open file description, so flock refuses it too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);  // not ours to touch: the holder's exclusive flag stays
        return fail(error == EWOULDBLOCK ? OpenFault::Busy : FaultOf(error), error);
    }
    if (ioctl(fd, TIOCEXCL) != 0 || !Configure(fd)) {
        const int error = errno;
        Release(fd);
        return fail(FaultOf(error), error);
    }
    handle = fd;
    std::this_thread::sleep_for(Millis(timeouts.settleMs));
    tcflush(fd, TCIOFLUSH);
    return true;
}

void SerialLink::writeExact(const std::uint8_t* bytes, std::size_t n) {
    if (!isOpen()) throw SerialError("Write failed.");
    holdBackWhenStopped();
    auto deadline = Clock::now() + Millis(timeouts.writeConstant + timeouts.writeMultiplier * n);
    std::size_t done = 0;
    while (done < n) {
        ssize_t wrote = ::write(handle, bytes + done, n - done);
        if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0 && errno != EAGAIN) throw SerialError("Write failed.");
        pollfd p{handle, POLLOUT, 0};
        int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) throw SerialError("Write failed.");
    }
}

void SerialLink::readExact(std::uint8_t* buffer, std::size_t n) {
    if (!isOpen()) throw SerialError("Read failed.");
    auto total = Clock::now() + Millis(timeouts.readConstant + timeouts.readMultiplier * n);
    // Bytes already buffered come first, and at once. Like bytes waiting in
    // the driver, they count for the gap from when this read takes them, not
    // from when they arrived.
    std::size_t got = TakeBuffered(*this, buffer, n);
    while (got < n) {
        // Before the first byte only the total deadline applies; after it,
        // also the gap between bytes.
        int wait = RemainingMs(total);
        if (got > 0 && wait > static_cast<int>(timeouts.readInterval)) wait = static_cast<int>(timeouts.readInterval);
        pollfd p{handle, POLLIN, 0};
        int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) throw SerialError("Read failed.");
        if (ready == 0) {
            if (got > 0 || RemainingMs(total) == 0) break;
            continue;
        }
        // The buffer is empty here: one call takes whatever has arrived.
        ssize_t r = ::read(handle, rx.bytes.data(), rx.bytes.size());
        if (r > 0) {
            rx.first = 0;
            rx.end = static_cast<std::size_t>(r);
            got += TakeBuffered(*this, buffer + got, n - got);
            continue;
        }
        if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        // A read of 0 or an error with data pending: the other side went away.
        throw SerialError("Read failed.");
    }
    if (got < n) throw ProtocolError();
}
