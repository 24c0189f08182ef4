#include "cli/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "device/text.h"

namespace {

int resultsFd = STDOUT_FILENO;

void writeAll(int fd, const std::string& bytes) {
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
    for (int i = 1; i < argc; ++i) {
        std::wstring arg;
        // A name in another locale's bytes still reaches open() unchanged.
        if (!FromUtf8(argv[i], arg)) arg = WidenBytes(argv[i]);
        args.push_back(arg);
    }
    return args;
}

void ReserveStandardOutput() {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved < 0 || null < 0) return;
    ::fcntl(saved, F_SETFD, FD_CLOEXEC);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
    resultsFd = saved;
}

void WriteToConsole(bool toError, const std::wstring& text) {
    writeAll(toError ? STDERR_FILENO : resultsFd, ToUtf8(text));
}
