#pragma once
// korvelctl's words, made in one place: each outcome as one line that says
// what now holds, naming the port, the file or the value it concerns; a
// file's faults in cli/file_words.h.

#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/config_text.h"
#include "cli/part_way.h"
#include "device/module.h"
#include "device/outcome.h"

// The line for an outcome of `args`' command on `module`, without the line end.
std::wstring OutcomeText(const Outcome& outcome, const Module& module, const CliArguments& args);

// After a change to the running configuration of the modules on `ports` that
// was not stored: the command that stores it.
std::wstring NotStoredText(const std::vector<std::wstring>& ports);

// ports and --all-ports, when there are none.
std::wstring NoPortsText();

// restore: where the module's configuration from before it is kept.
std::wstring KeptText(const std::wstring& kept);
// restore: why it wrote nothing when the module could not be read, or its
// configuration not kept in the file `kept`.
std::wstring ReadFailedText(const Outcome& outcome, const Module& module, const CliArguments& args);
std::wstring KeepFailedText(const Outcome& outcome, const std::wstring& kept);
// restore: no default folder for the previous configuration, or its folder
// could not be made, for the system's reason or (none) as a file is in the way.
std::wstring NoPreviousFolderText();
std::wstring PreviousFolderFailedText(const std::wstring& folder, std::optional<SystemFault> reason);
// restore: the module already holds the file; nothing written, nothing kept.
std::wstring AlreadyHeldText(const CliArguments& args);
// After a restore that stopped part-way: the one command that puts back the kept configuration.
std::wstring WayBackText(const std::wstring& port, const std::wstring& kept);
// The ports restores left part-way, with the command that puts back each:
// after several ports' count, and at a second Ctrl+C. Lines, each with its line end.
std::wstring WaysBackText(const std::vector<PartWayPort>& ports);
// restore read back something other than the file: the first difference,
// with its lines, or in one line; no line end after the last.
std::wstring MismatchText(const ConfigDiff& first, bool oneLine);
// restore --dry-run: the line above diff's lines (module -> file), and the
// line when nothing would change or, for one of several ports, what would:
// the `settings` settings and the rows that differ.
std::wstring DryRunHeader(const CliArguments& args);
std::wstring DryRunLine(const ConfigDiff& diff, std::size_t settings, const CliArguments& args);

std::wstring ConvertedText(const std::wstring& from, const std::wstring& to);

// How several ports' runs ended.
struct PortCounts {
    std::size_t done = 0;                   // status 0: done, or for a dry run nothing to change
    std::size_t changes = 0;                // a dry run that would change something
    std::vector<std::wstring> failed;
    std::vector<std::wstring> interrupted;  // the ports Ctrl+C stopped
};
// One port's line when several run at once: "PORT: what happened (1.23 s)".
std::wstring PortLine(const std::wstring& port, const std::wstring& text, double seconds);
// "4 ports: 3 done, 1 failed (/dev/ttyUSB1)", "... would change, ...
// unchanged, ..." for a dry run; the failed and interrupted ones by name.
std::wstring SummaryText(const PortCounts& counts, bool dryRun);

// A word as a shell takes it back: as it is when it holds nothing the shell
// reads specially, else quoted.
std::wstring ShellWord(const std::wstring& word);
