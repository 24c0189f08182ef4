#pragma once
// The program's console: its arguments as wide texts and its two output
// streams. console_posix.cpp writes UTF-8; console_win32.cpp writes wide text
// to a real console and UTF-8 to a file or pipe.

#include <string>
#include <vector>

// The arguments after the program name.
std::vector<std::wstring> CommandLineArguments(int argc, char** argv);

// Keeps standard output for korvelctl's results alone: they go on to where it
// pointed at start, while anything else written to it (the serial link's
// diagnostic line when a port opens) is discarded, as in the window program.
void ReserveStandardOutput();

// Writes the text to the reserved standard output, or to standard error.
void WriteToConsole(bool toError, const std::wstring& text);
