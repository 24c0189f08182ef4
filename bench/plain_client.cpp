#include "plain_client.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPatienceMs = 1000;  // a reply that stalls this long fails the replay

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t wrote = ::write(fd, bytes, n);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        bytes += wrote;
        n -= static_cast<std::size_t>(wrote);
    }
    return true;
}

// Each call asks for the rest of the reply and takes what has arrived of it.
bool ReadAll(int fd, std::uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, kPatienceMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t got = ::read(fd, bytes, n);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return false;
        bytes += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

int OpenRaw(const std::string& port) {
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return ::close(fd), -1;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return ::close(fd), -1;
    tcflush(fd, TCIOFLUSH);
    return fd;
}

}  // namespace

bool ReplayExchanges(const std::string& port, const std::vector<Exchange>& exchanges) {
    const int fd = OpenRaw(port);
    if (fd < 0) return false;
    std::vector<std::uint8_t> reply;
    bool same = true;
    for (const Exchange& e : exchanges) {
        reply.resize(e.reply.size());
        same = WriteAll(fd, e.request.data(), e.request.size()) && ReadAll(fd, reply.data(), reply.size()) &&
               reply == e.reply;
        if (!same) break;
    }
    ::close(fd);
    return same;
}
