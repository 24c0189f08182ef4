// Linux port discovery: tty devices under /sys/class/tty that have a real
// device behind them (USB adapters, ACM modems, on-board UARTs).
#include "device/ports_linux.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "device/text.h"

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The USB product name of the device behind a tty, looked up the parents.
std::string ProductName(const fs::path& device) {
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    for (int depth = 0; !ec && depth < 6 && dir.has_parent_path(); ++depth, dir = dir.parent_path()) {
        std::error_code missing;  // listing never fails, not even on an unreadable directory
        if (fs::exists(dir / "product", missing)) return ReadLine(dir / "product");
    }
    return {};
}

// A sysfs number such as 0x3F8; 0 for an empty or missing file.
unsigned long HexValue(const fs::path& file) { return std::strtoul(ReadLine(file).c_str(), nullptr, 16); }

// A serial8250 port the kernel sets up whether or not a UART answers at it:
// no UART type, or neither an I/O port nor memory to reach one.
bool IsPlaceholder(const fs::path& tty) {
    std::error_code missing;
    if (!fs::exists(tty / "type", missing)) return false;  // not a serial-core port: USB, ACM
    if (ReadLine(tty / "type") == "0") return true;
    return fs::exists(tty / "port", missing) && fs::exists(tty / "iomem_base", missing) &&
           HexValue(tty / "port") == 0 && HexValue(tty / "iomem_base") == 0;
}

// The kernel writes its messages to a console tty, and may read a login from it.
bool IsKernelConsole(const fs::path& tty, const std::string& activeConsoles) {
    if (ReadLine(tty / "console") == "Y") return true;
    std::istringstream names(activeConsoles);
    for (std::string name; names >> name;)
        if (name == tty.filename().string()) return true;
    return false;
}

}  // namespace

std::vector<PortInfo> ListSerialPortsIn(const fs::path& ttyClass) {
    std::vector<PortInfo> ports;
    std::error_code ec;
    std::vector<fs::path> ttys;
    for (fs::directory_iterator it(ttyClass, ec), end; !ec && it != end; it.increment(ec)) ttys.push_back(it->path());
    std::sort(ttys.begin(), ttys.end());  // a stable order from one refresh to the next
    const std::string activeConsoles = ReadLine(ttyClass / "console" / "active");
    for (const auto& tty : ttys) {
        std::error_code missing;
        if (!fs::exists(tty / "device", missing) || IsPlaceholder(tty) || IsKernelConsole(tty, activeConsoles)) continue;
        const std::string name = tty.filename().string();
        const std::string path = "/dev/" + name;
        const std::string product = ProductName(tty / "device");
        ports.push_back({path, (product.empty() ? name : product) + " (" + path + ")"});
    }
    return ports;
}

std::vector<PortInfo> listSerialPorts() { return ListSerialPortsIn("/sys/class/tty"); }

// Latin-1 stands in for the ANSI code page.
std::wstring toWide(const std::string& text) { return WidenText(text); }
