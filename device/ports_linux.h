#pragma once
// Linux port discovery from a tty class folder of sysfs, and of the virtual
// modules that announce themselves in a folder of the user's; listSerialPorts
// reads /sys/class/tty and VirtualModuleFolder(), tests folders of their own.

#include <filesystem>
#include <string>
#include <vector>

#include "device/port_info.h"

// The ttys under `ttyClass` with a device behind them (USB and ACM adapters,
// real UARTs), sorted by name, as /dev paths. Left out: the kernel's console
// (the tty's console attribute reads Y, or console/active names it) and the
// serial8250 placeholders with no UART (type 0, or port and iomem_base both 0).
std::vector<PortInfo> ListSerialPortsIn(const std::filesystem::path& ttyClass);

// Where running virtual modules announce themselves: korvel-sim in the
// user's runtime folder ($XDG_RUNTIME_DIR), else /tmp/korvel-sim-UID. Only a
// folder of the user's own that no one else may write is read or written.
std::filesystem::path VirtualModuleFolder();

// The virtual modules announced in `folder`, sorted by port, as "Korvel
// virtual module (PORT)". Left out: an announcement whose program has ended,
// or whose pseudo-terminal, or the link to it, is gone.
std::vector<PortInfo> ListVirtualModulesIn(const std::filesystem::path& folder);

// A running virtual module's announcement: a file in the folder, named after
// the process, that names the port (the link to the pseudo-terminal, or the
// terminal itself) and the pseudo-terminal; removed again by the destructor.
// The folder is made when missing; announces nothing when it is not the user's own.
class VirtualModuleAnnouncement {
public:
    VirtualModuleAnnouncement(const std::filesystem::path& folder, const std::string& port, const std::string& pty);
    ~VirtualModuleAnnouncement();
    VirtualModuleAnnouncement(const VirtualModuleAnnouncement&) = delete;
    VirtualModuleAnnouncement& operator=(const VirtualModuleAnnouncement&) = delete;

private:
    std::filesystem::path file;
};
