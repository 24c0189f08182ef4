#pragma once
// korvelctl's words for what is wrong with a configuration file, from the
// facts its outcome carries: the system's reason, what a file that is no
// configuration holds instead, how far a cut-short one got; and for a file
// whose configuration no module can take whole.

#include <cstdint>
#include <string>
#include <vector>

#include "device/module_config.h"
#include "device/outcome.h"

// "a.cfg: cannot create: permission denied", "notes.cfg: not a configuration
// file (it starts with text)", ...: the file's name, then its fault.
std::wstring FileFaultText(const Outcome& outcome, const std::wstring& file);
// The fault alone: "cannot create: permission denied".
std::wstring FileFaultWords(const Outcome& outcome);
// What the system's reason is in korvelctl's words: "no such folder", ...
std::wstring SystemFaultWords(SystemFault fault);

// A configuration file's contents the module would refuse in part, each
// refused before anything is written: a table longer than any module's, a
// setting out of its range (CheckTableLengths, CheckSettingRanges), or tables
// of other lengths than the module's `module`.
std::wstring RefusedFileText(const Outcome& outcome, const ModuleConfig& file, const std::wstring& name);
std::wstring OtherLengthsText(const ModuleConfig& module, const ModuleConfig& file, const std::wstring& name);
