// Linux port discovery: tty devices under /sys/class/tty that have a real
// device behind them (USB adapters, ACM modems, on-board UARTs).
#include "device/ports_linux.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Whether process `pid` still runs (as someone else's, too).
bool Running(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// Whether `folder` is a folder that only this user may write.
bool OwnFolder(const fs::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 022) == 0;
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

fs::path VirtualModuleFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return fs::path(runtime) / "korvel-sim";
    return fs::path("/tmp") / ("korvel-sim-" + std::to_string(::getuid()));
}

std::vector<PortInfo> ListVirtualModulesIn(const fs::path& folder) {
    std::vector<PortInfo> ports;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(it->path());
        std::string port, pty;
        std::error_code missing;
        if (!std::getline(in, port) || !std::getline(in, pty) || !Running(std::atoi(name.c_str())) ||
            !fs::is_character_file(pty, missing) || fs::canonical(port, missing) != fs::path(pty))
            continue;
        ports.push_back({port, "Korvel virtual module (" + port + ")"});
    }
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.port < b.port; });
    return ports;
}

VirtualModuleAnnouncement::VirtualModuleAnnouncement(const fs::path& folder, const std::string& port,
                                                     const std::string& pty) {
    ::mkdir(folder.c_str(), 0700);
    if (!OwnFolder(folder)) return;
    file = folder / std::to_string(::getpid());
    std::ofstream(file) << port << "\n" << pty << "\n";
}

VirtualModuleAnnouncement::~VirtualModuleAnnouncement() {
    std::error_code ignored;
    if (!file.empty()) fs::remove(file, ignored);
}

std::vector<PortInfo> listSerialPorts() {
    std::vector<PortInfo> ports = ListSerialPortsIn("/sys/class/tty");
    if (const fs::path folder = VirtualModuleFolder(); OwnFolder(folder)) {
        const std::vector<PortInfo> virtualModules = ListVirtualModulesIn(folder);
        ports.insert(ports.end(), virtualModules.begin(), virtualModules.end());
    }
    return ports;
}

// Latin-1 stands in for the ANSI code page.
std::wstring toWide(const std::string& text) { return WidenText(text); }
