// Linux port discovery: tty devices under /sys/class/tty that have a real
// device behind them (USB adapters, ACM modems, on-board UARTs).
#include "device/port_info.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "device/text.h"

namespace fs = std::filesystem;

namespace {

std::string readLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The USB product name of the device behind a tty, looked up the parents.
std::string productName(const fs::path& device) {
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    for (int depth = 0; !ec && depth < 6 && dir.has_parent_path(); ++depth, dir = dir.parent_path()) {
        std::error_code missing;  // listing never fails, not even on an unreadable directory
        if (fs::exists(dir / "product", missing)) return readLine(dir / "product");
    }
    return {};
}

}  // namespace

std::vector<PortInfo> listSerialPorts() {
    std::vector<PortInfo> ports;
    std::error_code ec;
    std::vector<fs::path> ttys;
    for (fs::directory_iterator it("/sys/class/tty", ec), end; !ec && it != end; it.increment(ec))
        ttys.push_back(it->path());
    std::sort(ttys.begin(), ttys.end());  // a stable order from one refresh to the next
    for (const auto& tty : ttys) {
        std::string name = tty.filename().string();
        if (!fs::exists(tty / "device", ec)) continue;
        // Legacy ttyS ports without a UART behind them report type 0.
        if (name.rfind("ttyS", 0) == 0 && readLine(tty / "type") == "0") continue;
        std::string path = "/dev/" + name;
        std::string product = productName(tty / "device");
        ports.push_back({path, (product.empty() ? name : product) + " (" + path + ")"});
    }
    return ports;
}

std::wstring toWide(const std::string& text) {
    std::wstring wide;
    if (FromUtf8(text, wide)) return wide;
    return WidenBytes(text);  // Latin-1 stands in for the ANSI code page
}
