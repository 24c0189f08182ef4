#include "cli/console.h"
#include "cli/korvelctl.h"

int main(int argc, char** argv) {
    const CliOutput console{[](const std::wstring& text) { WriteToConsole(false, text); },
                            [](const std::wstring& text) { WriteToConsole(true, text); }};
    static std::atomic<bool> interrupted{false};
    CatchInterrupt(interrupted, PartWayText);
    return RunKorvelctl(CommandLineArguments(argc, argv), console, {.interrupted = &interrupted});
}
