#pragma once
// The files korvelctl names after a port: backup's file per port when several
// run at once, and restore's keeping of the module's previous configuration
// (its folder and its name).

#include <ctime>
#include <optional>
#include <string>

// How --help names the default folder of the previous configurations.
extern const wchar_t* const kPreviousFolderHint;

// A port's name made safe for a file name, and unlike other ports' names:
// "/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts_3", "/tmp/korvel" ->
// "tmp_korvel", "COM3" and "\\.\COM3" -> "COM3". Outside /dev/ the folders stay
// in the name; anything but letters, digits, '.', '-' and '_' becomes '_'.
std::wstring PortFileName(const std::wstring& port);

// The file a backup of one of several ports goes to: the port's name before
// the file name's extension ("factory.cfg" -> "factory-ttyUSB0.cfg"), or at its
// end when it has none.
std::wstring FileForPort(const std::wstring& file, const std::wstring& port);

// Where restore keeps previous configurations when no --keep-previous is
// given: $XDG_DATA_HOME/korvel/previous or ~/.local/share/korvel/previous, or
// %LOCALAPPDATA%\Korvel\previous on Windows; empty when the environment
// names no such folder.
std::wstring DefaultPreviousFolder();

// A name in `folder` for the configuration a module on `port` had at `when`,
// local time, that no file has yet: "pts_3-2026-03-14-101502.cfg", with
// "_02", "_03" ... before ".cfg" when that is taken, so that the names of a
// port sort in the order they were made.
std::wstring PreviousConfigPath(const std::wstring& folder, const std::wstring& port, std::time_t when);

// A previous configuration's file as PreviousConfigPath names it, taken apart.
struct KeptName {
    std::wstring port;   // as in the name: "pts_3"
    std::wstring time;   // "2026-03-14 10:15:02"
    unsigned number = 1; // 2 for "_02", ...
};
// Nothing for a file name PreviousConfigPath does not make.
std::optional<KeptName> ReadKeptName(const std::wstring& fileName);
