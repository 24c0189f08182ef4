#pragma once
// korvelctl's words, made in one place: each outcome as one line that says
// what now holds, naming the port, the file or the value it concerns. The
// window's words (StatusText) stay the window's; korvelctl takes the texts of
// file faults from them.

#include <string>

#include "cli/arguments.h"
#include "device/module.h"
#include "device/outcome.h"

// The line for an outcome of `args`' command on `module`, without the line end.
std::wstring OutcomeText(const Outcome& outcome, const Module& module, const CliArguments& args);

// A configuration file's fault, after the file's name.
std::wstring FileFaultText(const Outcome& outcome, const std::wstring& file);

// After a change to the running configuration that was not stored.
std::wstring NotStoredText(const CliArguments& args);

// ports, when there are none.
std::wstring NoPortsText();
