#include "cli/console.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "device/text.h"

namespace {

std::atomic<bool>* interruptFlag = nullptr;

// A lock-free store is all a signal handler may do here.
void OnInterrupt(int) { interruptFlag->store(true); }

void WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a closed pipe: nobody is reading any more
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::vector<std::wstring> CommandLineArguments(int argc, char** argv) {
    std::vector<std::wstring> args;
    // A name in another locale's bytes still reaches open() unchanged.
    for (int i = 1; i < argc; ++i) args.push_back(WidenText(argv[i]));
    return args;
}

void WriteToConsole(bool toError, const std::wstring& text) {
    WriteAll(toError ? STDERR_FILENO : STDOUT_FILENO, ToUtf8(text));
}

void CatchInterrupt(std::atomic<bool>& flag) {
    static_assert(std::atomic<bool>::is_always_lock_free);
    interruptFlag = &flag;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler is reset on its first call, so a second Ctrl+C ends the program.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}
