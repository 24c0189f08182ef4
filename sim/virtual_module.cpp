// The virtual module's line: a pseudo-terminal served by one thread that reads
// requests, answers them through module_commands.cpp, and applies the faults,
// pacing and hang-ups that tests ask for.
#include "sim/virtual_module.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "sim/live_motion.h"
#include "sim/module_commands.h"
#include "sim/request_framing.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// When byte k of a reply that starts at t0 is due on a 115200 baud line: each
// byte takes 10 bits (start, 8 data, stop), 86.8 us.
Clock::time_point ByteDue(Clock::time_point t0, std::size_t k) {
    return t0 + std::chrono::nanoseconds(static_cast<std::int64_t>(k) * 100000000 / 1152);
}

// How many bytes of a reply that started at t0 are due by `now`.
std::size_t BytesDue(Clock::time_point t0, Clock::time_point now) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - t0).count();
    return static_cast<std::size_t>(ns * 1152 / 100000000) + 1;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Removes a link at `path` when it still points to `target`: another module
// may have taken the path over since.
void UnlinkIfPointsTo(const std::string& path, const std::string& target) {
    std::error_code error;
    if (std::filesystem::read_symlink(path, error) == target) ::unlink(path.c_str());
}

// Why a link may not be put at `path`, or nothing. A symbolic link whose
// pseudo-terminal is gone was left by a module that stopped without removing
// it; one whose pseudo-terminal is still there belongs, as far as can be told,
// to a running module.
std::optional<std::string> LinkTaken(const std::string& path, const std::string& ours) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) return std::nullopt;
    if (!fs::is_symlink(status)) return path + " is there and is not a symbolic link";
    const fs::path target = fs::read_symlink(path, error);
    if (target == ours || !fs::exists(target, error)) return std::nullopt;
    return path + " is in use: it links to " + target.string() +
           ", which is open (another korvel-sim?); stop that one or remove the link";
}

}  // namespace

struct VirtualModule::Impl {
    struct Unsolicited {
        Clock::time_point due;
        Bytes bytes;
    };

    int master = -1;
    // A slave descriptor of our own, never read: while it is open the master
    // does not see EIO between one client's close and the next one's open.
    int slave = -1;
    int stopPipe[2] = {-1, -1};  // written once, by the destructor
    int wakePipe[2] = {-1, -1};  // new work for the server loop
    std::string path;
    std::string linkPath;
    const Clock::time_point start = Clock::now();

    mutable std::mutex mutex;
    std::condition_variable changed;
    ModuleState state;
    bool liveChanges = true;
    LiveValues fixedLive;
    std::vector<Fault> faults;
    std::vector<Unsolicited> unsolicited;
    std::vector<Exchange> exchanges;
    std::optional<std::size_t> current;  // the exchange whose reply is going out, while it is recorded
    int hangUpCountdown = -1;            // exchanges until the hang-up; -1: none
    bool serving = false;                // an exchange is under way, recorded or not
    bool hungUp = false;
    bool stopping = false;
    bool pacing = false;
    Clock::time_point lastWrite;  // server thread only

    std::thread server;

    void open();
    void serve();
    void handle(const Bytes& request);
    void deliver(const Bytes& reply, const std::optional<Fault>& fault);
    void send(const Bytes& bytes);
    bool writeAll(const std::uint8_t* bytes, std::size_t n);
    bool waitUntil(Clock::time_point when);
    void awaitDrained();
    bool hangUpDue();
    void record(const std::uint8_t* bytes, std::size_t n);
    void hangUpLocked();
    std::optional<Fault> takeFaultLocked(std::uint8_t command);
    LiveValues liveLocked() const;
    void wake();
};

void VirtualModule::Impl::open() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master, name, sizeof name) != 0) throw std::runtime_error("no pseudo-terminal name");
    path = name;
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) throw std::runtime_error("cannot open " + path);
    // Raw from the start, so that nothing is echoed or translated even before
    // the configurator sets its own modes.
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(slave, TCSANOW, &tio);
    if (pipe2(stopPipe, O_CLOEXEC) != 0 || pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe");
}

void VirtualModule::Impl::wake() {
    std::uint8_t one = 1;
    [[maybe_unused]] auto ignored = ::write(wakePipe[1], &one, 1);  // a full pipe wakes the loop already
}

void VirtualModule::Impl::serve() {
#ifdef __linux__
    // Pacing sleeps a tenth of a millisecond at a time; the default timer
    // slack of 50 us would stretch every one of them.
    prctl(PR_SET_TIMERSLACK, 1UL);
#endif
    Bytes pending;
    for (;;) {
        std::vector<Bytes> due;
        auto next = Clock::time_point::max();
        if (hangUpDue()) {
            awaitDrained();
            std::lock_guard lock(mutex);
            hangUpLocked();
        }
        {
            std::lock_guard lock(mutex);
            if (stopping) return;
            if (!hungUp) {
                auto now = Clock::now();
                std::stable_sort(unsolicited.begin(), unsolicited.end(),
                                 [](const Unsolicited& a, const Unsolicited& b) { return a.due < b.due; });
                while (!unsolicited.empty() && unsolicited.front().due <= now) {
                    due.push_back(std::move(unsolicited.front().bytes));
                    unsolicited.erase(unsolicited.begin());
                }
                if (!unsolicited.empty()) next = unsolicited.front().due;
            }
        }
        for (const auto& bytes : due) send(bytes);

        int timeout = -1;
        if (next != Clock::time_point::max()) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
            timeout = static_cast<int>(std::max<long long>(left, 0));
        }
        pollfd fds[3] = {{stopPipe[0], POLLIN, 0}, {wakePipe[0], POLLIN, 0}, {master, POLLIN, 0}};
        int ready = ::poll(fds, master >= 0 ? 3 : 2, timeout);
        if (ready <= 0) continue;
        if (fds[0].revents) return;
        if (fds[1].revents) {
            std::uint8_t drain[64];
            while (::read(wakePipe[0], drain, sizeof drain) > 0) {
            }
        }
        if (master < 0 || !(fds[2].revents & POLLIN)) continue;
        std::uint8_t buffer[512];
        ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) continue;
        pending.insert(pending.end(), buffer, buffer + got);
        Bytes request;
        while (master >= 0 && TakeRequest(pending, request)) {
            handle(request);
            if (hangUpDue()) {
                awaitDrained();
                std::lock_guard lock(mutex);
                hangUpLocked();
            }
        }
        if (master < 0) pending.clear();
    }
}

void VirtualModule::Impl::handle(const Bytes& request) {
    Bytes reply;
    std::optional<Fault> fault;
    {
        std::lock_guard lock(mutex);
        fault = takeFaultLocked(request[0]);
        if (fault && fault->kind == FaultKind::Refuse)
            reply = {fault->status};  // refused: the state stays as it was
        else
            reply = ExecuteRequest(state, request, liveLocked());
        exchanges.push_back({request, {}});
        current = exchanges.size() - 1;
        serving = true;
    }
    deliver(reply, fault);
    std::lock_guard lock(mutex);
    current.reset();
    serving = false;
    if (hangUpCountdown > 0) --hangUpCountdown;
    changed.notify_all();
}

void VirtualModule::Impl::deliver(const Bytes& reply, const std::optional<Fault>& fault) {
    if (!fault) return send(reply);
    std::size_t cut = std::min(fault->afterBytes, reply.size());
    Bytes head(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(cut));
    Bytes tail(reply.begin() + static_cast<std::ptrdiff_t>(cut), reply.end());
    switch (fault->kind) {
    case FaultKind::Silence: send(head); break;
    case FaultKind::Late:
        send(head);
        if (waitUntil(Clock::now() + std::chrono::milliseconds(fault->delayMs))) send(tail);
        break;
    case FaultKind::Extra: {
        Bytes more = reply;
        more.insert(more.end(), fault->extra.begin(), fault->extra.end());
        send(more);
        break;
    }
    case FaultKind::Refuse: send(reply); break;
    case FaultKind::HangUp: {
        send(head);
        awaitDrained();
        std::lock_guard lock(mutex);
        hangUpLocked();
        break;
    }
    }
}

void VirtualModule::Impl::send(const Bytes& bytes) {
    if (master < 0) return;  // hung up: nothing goes out, nothing is recorded
    bool paced;
    {
        std::lock_guard lock(mutex);
        paced = pacing;
    }
    if (!paced) {
        record(bytes.data(), bytes.size());
        writeAll(bytes.data(), bytes.size());
        return;
    }
    // Each byte goes out when the line would have finished the one before it.
    // When a sleep overshoots, the bytes that fell due meanwhile go out as one
    // burst, so the reply as a whole keeps the line's rate.
    auto t0 = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        std::size_t due = std::min(bytes.size(), BytesDue(t0, Clock::now()));
        if (due > sent) {
            record(bytes.data() + sent, due - sent);
            if (!writeAll(bytes.data() + sent, due - sent)) return;
            sent = due;
        } else if (!waitUntil(ByteDue(t0, sent))) {
            return;
        }
    }
}

bool VirtualModule::Impl::writeAll(const std::uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        if (master < 0) return false;
        ssize_t wrote = ::write(master, bytes, n);
        if (wrote > 0) {
            lastWrite = Clock::now();
            bytes += wrote;
            n -= static_cast<std::size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0 && errno != EAGAIN) return false;
        // The client is not reading and the line's buffer is full.
        pollfd fds[2] = {{master, POLLOUT, 0}, {stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) > 0 && fds[1].revents) return false;
    }
    return true;
}

bool VirtualModule::Impl::waitUntil(Clock::time_point when) {
    for (;;) {
        auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd stop{stopPipe[0], POLLIN, 0};
        if (::ppoll(&stop, 1, &ts, nullptr) > 0) return false;
    }
}

bool VirtualModule::Impl::hangUpDue() {
    std::lock_guard lock(mutex);
    return hangUpCountdown == 0 && !hungUp && !stopping;
}

void VirtualModule::Impl::awaitDrained() {
    // Hanging up discards whatever the client has not read yet. A real line
    // would have delivered the bytes sent before the plug was pulled, so give
    // the client a moment to take them: until its input queue is empty and
    // nothing more is on its way from the master side, for half a second at most.
    // The kernel hands written bytes to the client's queue from a worker
    // thread, which a busy machine can hold back for milliseconds; an empty
    // queue counts only well after the last write.
    auto deadline = Clock::now() + std::chrono::milliseconds(500);
    while (slave >= 0 && Clock::now() < deadline) {
        int queued = 0;
        if (::ioctl(slave, FIONREAD, &queued) != 0) return;
        if (queued == 0 && Clock::now() - lastWrite >= std::chrono::milliseconds(20)) return;
        if (!waitUntil(Clock::now() + std::chrono::milliseconds(1))) return;
    }
}

void VirtualModule::Impl::record(const std::uint8_t* bytes, std::size_t n) {
    std::lock_guard lock(mutex);
    if (current) exchanges[*current].reply.insert(exchanges[*current].reply.end(), bytes, bytes + n);
}

void VirtualModule::Impl::hangUpLocked() {
    // Closing the master hangs the line up for the client: its reads end and
    // its writes fail, as with an adapter pulled from the socket.
    CloseFd(master);
    CloseFd(slave);
    hungUp = true;
    hangUpCountdown = -1;
    changed.notify_all();
}

std::optional<Fault> VirtualModule::Impl::takeFaultLocked(std::uint8_t command) {
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (it->times == 0 || (it->command != -1 && it->command != command)) continue;
        if (it->kind == FaultKind::Refuse && !RepliesWithStatus(command)) continue;
        Fault fault = *it;
        if (it->times > 0 && --it->times == 0) faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

LiveValues VirtualModule::Impl::liveLocked() const {
    if (!liveChanges) return fixedLive;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return LiveMotion(ms, state.running.settings.maxBrightness);
}

VirtualModule::VirtualModule(ModuleConfig initial) : impl(std::make_unique<Impl>()) {
    impl->state.running = initial;
    impl->state.stored = std::move(initial);
    try {
        impl->open();
    } catch (...) {
        CloseFd(impl->master);
        CloseFd(impl->slave);
        for (int* fd : {&impl->stopPipe[0], &impl->stopPipe[1], &impl->wakePipe[0], &impl->wakePipe[1]}) CloseFd(*fd);
        throw;
    }
    impl->server = std::thread([this] { impl->serve(); });
}

VirtualModule::~VirtualModule() {
    {
        std::lock_guard lock(impl->mutex);
        impl->stopping = true;
        impl->changed.notify_all();
    }
    std::uint8_t one = 1;
    [[maybe_unused]] auto ignored = ::write(impl->stopPipe[1], &one, 1);
    impl->server.join();
    CloseFd(impl->master);
    CloseFd(impl->slave);
    for (int* fd : {&impl->stopPipe[0], &impl->stopPipe[1], &impl->wakePipe[0], &impl->wakePipe[1]}) CloseFd(*fd);
    if (!impl->linkPath.empty()) UnlinkIfPointsTo(impl->linkPath, impl->path);
}

std::string VirtualModule::portPath() const { return impl->path; }

void VirtualModule::linkAt(const std::string& path) {
    if (const auto taken = LinkTaken(path, impl->path)) throw std::runtime_error(*taken);
    // Replace a stale link in one step, so that a client never finds the path missing.
    std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(impl->path.c_str(), temporary.c_str()) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        throw std::runtime_error("cannot make the link " + path + ": " + reason);
    }
    std::lock_guard lock(impl->mutex);
    if (!impl->linkPath.empty() && impl->linkPath != path) UnlinkIfPointsTo(impl->linkPath, impl->path);
    impl->linkPath = path;
}

ModuleConfig VirtualModule::config() const {
    std::lock_guard lock(impl->mutex);
    return impl->state.running;
}

void VirtualModule::setConfig(const ModuleConfig& config) {
    std::lock_guard lock(impl->mutex);
    impl->state.running = config;
}

void VirtualModule::setPressed(PressedButtons pressed, std::uint8_t brightness) {
    std::lock_guard lock(impl->mutex);
    impl->fixedLive = {pressed, brightness};
    impl->liveChanges = false;
}

void VirtualModule::setLiveChanges(bool on) {
    std::lock_guard lock(impl->mutex);
    impl->liveChanges = on;
}

void VirtualModule::addFault(const Fault& fault) {
    std::lock_guard lock(impl->mutex);
    impl->faults.push_back(fault);
}

void VirtualModule::clearFaults() {
    std::lock_guard lock(impl->mutex);
    impl->faults.clear();
}

void VirtualModule::hangUpAfter(int n) {
    std::unique_lock lock(impl->mutex);
    if (impl->hungUp) return;
    // Counted from a point both sides agree on: an exchange whose reply the
    // client already has, but which the server has not yet closed, is none of
    // the n, even when the exchanges were cleared in the meantime.
    impl->changed.wait(lock, [&] { return !impl->serving || impl->stopping; });
    impl->hangUpCountdown = n;
    impl->wake();
    if (n == 0) impl->changed.wait(lock, [&] { return impl->hungUp || impl->stopping; });
}

bool VirtualModule::waitForHangUp(unsigned timeoutMs) {
    std::unique_lock lock(impl->mutex);
    return impl->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return impl->hungUp; });
}

void VirtualModule::sendUnsolicited(std::vector<std::uint8_t> bytes, unsigned delayMs) {
    std::lock_guard lock(impl->mutex);
    impl->unsolicited.push_back({Clock::now() + std::chrono::milliseconds(delayMs), std::move(bytes)});
    impl->wake();
}

void VirtualModule::setPacing(bool on) {
    std::lock_guard lock(impl->mutex);
    impl->pacing = on;
}

std::vector<Exchange> VirtualModule::exchanges() const {
    std::lock_guard lock(impl->mutex);
    return impl->exchanges;
}

void VirtualModule::clearExchanges() {
    std::lock_guard lock(impl->mutex);
    impl->exchanges.clear();
    impl->current.reset();
}

std::size_t VirtualModule::exchangeCount() const {
    std::lock_guard lock(impl->mutex);
    return impl->exchanges.size();
}
