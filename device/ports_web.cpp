// Port discovery in the browser: the serial ports the user has already let
// the page use (a browser shows no port to a page before that), named by
// their USB vendor and product ids, then the ports the page offers itself.
#include "device/port_info.h"

#include <cstdio>
#include <map>

#include "device/text.h"

extern "C" {
// serial_link_web.js. Lists the ports afresh and gives their number. Suspends.
int korvel_ports_list();
int korvel_port_describe(int index, char* name, int capacity, int* ids);
}

namespace {

std::string UsbName(const int ids[2]) {
    char name[32];
    std::snprintf(name, sizeof name, "USB %04x:%04x", static_cast<unsigned>(ids[0]) & 0xFFFF,
                  static_cast<unsigned>(ids[1]) & 0xFFFF);
    return name;
}

}  // namespace

std::vector<PortInfo> listSerialPorts() {
    const int count = korvel_ports_list();
    std::vector<PortInfo> ports;
    for (int i = 0; i < count; ++i) {
        char given[128];
        int ids[2] = {0, 0};
        const bool usb = korvel_port_describe(i, given, sizeof given, ids) != 0;
        ports.push_back({"web:" + std::to_string(i), given[0] ? given : usb ? UsbName(ids) : "Serial port"});
    }
    // Two adapters of one kind look alike: each gets a running number.
    std::map<std::string, int> alike, numbered;
    for (const auto& port : ports) ++alike[port.friendlyName];
    for (auto& port : ports)
        if (alike[port.friendlyName] > 1)
            port.friendlyName += " (" + std::to_string(++numbered[port.friendlyName]) + ")";
    return ports;
}

std::wstring toWide(const std::string& text) { return WidenText(text); }
