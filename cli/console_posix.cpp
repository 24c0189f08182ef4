#include "cli/console.h"

#include <cstdio>

#include "device/text.h"

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
    std::FILE* stream = toError ? stderr : stdout;
    const std::string bytes = ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}
