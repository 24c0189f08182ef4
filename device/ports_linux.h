#pragma once
// Linux port discovery from a tty class folder of sysfs; listSerialPorts reads
// /sys/class/tty, tests a tree of their own.

#include <filesystem>
#include <vector>

#include "device/port_info.h"

// The ttys under `ttyClass` with a device behind them (USB and ACM adapters,
// real UARTs), sorted by name, as /dev paths. Left out: the kernel's console
// (the tty's console attribute reads Y, or console/active names it) and the
// serial8250 placeholders with no UART (type 0, or port and iomem_base both 0).
std::vector<PortInfo> ListSerialPortsIn(const std::filesystem::path& ttyClass);
