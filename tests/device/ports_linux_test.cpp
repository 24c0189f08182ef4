// Port discovery on a made-up /sys/class/tty in a scratch folder: the ttys
// with a device behind them, without the kernel's console and the serial8250
// placeholders that have no UART.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "device/ports_linux.h"

namespace {

namespace fs = std::filesystem;

struct FakeTty {
    const char* name;
    bool device;
    std::vector<std::pair<const char*, const char*>> attributes;  // file, first line
};

TEST(PortsLinux, ListsTheTtysWithADeviceBehindThemButNotTheConsoleOrPlaceholders) {
    const fs::path root = fs::temp_directory_path() / ("korvel-tty-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path ttyClass = root / "class" / "tty";
    // A USB adapter: its product name sits two folders above the tty's device.
    const fs::path usb = root / "devices" / "usb1" / "1-1";
    fs::create_directories(usb / "1-1:1.0" / "ttyUSB0");
    std::ofstream(usb / "product") << "USB Serial Adapter\n";
    const FakeTty ttys[] = {
        {"tty1", false, {}},                                                                   // a virtual console
        {"ttyACM0", true, {}},                                                                 // no product name
        {"ttyAMA0", true, {{"type", "3"}, {"port", "0x0"}, {"iomem_base", "0xFE201000"}}},     // a memory-mapped UART
        {"ttyS0", true, {{"type", "4"}, {"port", "0x3F8"}, {"iomem_base", "0x0"}, {"console", "Y"}}},
        {"ttyS1", true, {{"type", "0"}, {"port", "0x2F8"}, {"iomem_base", "0x0"}, {"console", "N"}}},
        {"ttyS2", true, {{"type", "4"}, {"port", "0x0"}, {"iomem_base", "0x0"}, {"console", "N"}}},
        {"ttyS3", true, {{"type", "4"}, {"port", "0x2E8"}, {"iomem_base", "0x0"}, {"console", "N"}}},
        {"ttyS4", true, {{"type", "4"}, {"port", "0x3E8"}, {"iomem_base", "0x0"}}},  // named in console/active
        {"ttyUSB0", false, {}},
    };
    for (const FakeTty& tty : ttys) {
        const fs::path dir = ttyClass / tty.name;
        fs::create_directories(dir);
        if (tty.device) {
            const fs::path device = root / "devices" / "platform" / tty.name;
            fs::create_directories(device);
            fs::create_directory_symlink(device, dir / "device");
        }
        for (const auto& [file, line] : tty.attributes) std::ofstream(dir / file) << line << "\n";
    }
    fs::create_directory_symlink(usb / "1-1:1.0", ttyClass / "ttyUSB0" / "device");
    fs::create_directories(ttyClass / "console");
    std::ofstream(ttyClass / "console" / "active") << "tty0 ttyS4\n";

    std::vector<std::pair<std::string, std::string>> listed;
    for (const PortInfo& port : ListSerialPortsIn(ttyClass)) listed.emplace_back(port.port, port.friendlyName);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, std::string>>{
                          {"/dev/ttyACM0", "ttyACM0 (/dev/ttyACM0)"},
                          {"/dev/ttyAMA0", "ttyAMA0 (/dev/ttyAMA0)"},
                          {"/dev/ttyS3", "ttyS3 (/dev/ttyS3)"},
                          {"/dev/ttyUSB0", "USB Serial Adapter (/dev/ttyUSB0)"},
                      }));
    EXPECT_TRUE(ListSerialPortsIn(root / "no-such-folder").empty());
    fs::remove_all(root);
}

}  // namespace
