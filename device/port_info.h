#pragma once
// Discovery of the serial ports present on the machine. ports_setupdi.cpp
// walks the Ports set-up class on Windows; ports_linux.cpp reads /sys/class/tty.

#include <string>
#include <vector>

struct PortInfo {
    std::string port;          // the name open() takes: COM3, or /dev/ttyUSB0
    std::string friendlyName;  // display text, 8-bit
};

// Never fails: every failure of the system's calls gives a shorter list.
std::vector<PortInfo> listSerialPorts();

// 8-bit text (UTF-8, else the ANSI code page) to display text.
std::wstring toWide(const std::string& text);
