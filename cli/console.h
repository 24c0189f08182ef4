#pragma once
// The program's console: its arguments as wide texts and its two output
// streams. console_posix.cpp writes UTF-8; console_win32.cpp writes wide text
// to a real console and UTF-8 to a file or pipe.

#include <atomic>
#include <string>
#include <vector>

// The arguments after the program name.
std::vector<std::wstring> CommandLineArguments(int argc, char** argv);

// Writes the text to standard output, or to standard error.
void WriteToConsole(bool toError, const std::wstring& text);

// From now on Ctrl+C raises `flag` instead of ending the program, so that
// every port can stop between two exchanges; a second Ctrl+C ends it at once
// with status 130, after writing what `lastWords` gives to standard error.
// Called before any other thread starts.
void CatchInterrupt(std::atomic<bool>& flag, std::wstring (*lastWords)());
