#include "cli/console.h"
#include "cli/korvelctl.h"

int main(int argc, char** argv) {
    const CliOutput console{[](const std::wstring& text) { WriteToConsole(false, text); },
                            [](const std::wstring& text) { WriteToConsole(true, text); }};
    return RunKorvelctl(CommandLineArguments(argc, argv), console);
}
