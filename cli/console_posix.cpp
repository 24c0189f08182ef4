#include "cli/console.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "device/text.h"

namespace {

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

void CatchInterrupt(std::atomic<bool>& flag, std::wstring (*lastWords)()) {
    // SIGINT is blocked in every thread (the ones started later inherit the
    // mask) and taken by one thread of its own, which, unlike a signal
    // handler, may gather the last words from the other threads.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
    std::thread([&flag, lastWords, interrupt] {
        int taken = 0;
        while (sigwait(&interrupt, &taken) != 0) {
        }
        flag.store(true);
        while (sigwait(&interrupt, &taken) != 0) {
        }
        WriteToConsole(true, lastWords());
        _exit(130);
    }).detach();
}
