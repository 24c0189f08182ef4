#include "cli/console.h"

#include <unistd.h>

#include <cerrno>

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
    for (int i = 1; i < argc; ++i) {
        std::wstring arg;
        // A name in another locale's bytes still reaches open() unchanged.
        if (!FromUtf8(argv[i], arg)) arg = WidenBytes(argv[i]);
        args.push_back(arg);
    }
    return args;
}

void WriteToConsole(bool toError, const std::wstring& text) {
    WriteAll(toError ? STDERR_FILENO : STDOUT_FILENO, ToUtf8(text));
}
