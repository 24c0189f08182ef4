// Port discovery through the set-up API of the Wine prefix: Ports-class
// devices registered here with friendly names of every shape.
#include "window_driver.h"

#include <algorithm>

#include "device/port_info.h"

namespace {

struct Registered {
    const wchar_t* friendlyName;
    const char* port;  // nullptr: not listed
};

// Registered next to the module on COM7, each in its own slot.
const Registered kDevices[] = {
    {L"USB Serial Device (COM3)", "COM3"},
    {L"Prolific USB-to-Serial (COM12)", "COM12"},
    {L"ECP Printer Port (LPT1)", nullptr},
    {L"Lower case (com4)", nullptr},
    {L"No closing part (COM6", nullptr},
    {L"Bluetooth link (COM port) (COM7)", "COM port"},
    {L"USB Serial Device (COM3)", "COM3"},
};

std::vector<std::pair<std::string, std::string>> Sorted(const std::vector<PortInfo>& ports) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const PortInfo& p : ports) out.emplace_back(p.port, p.friendlyName);
    std::sort(out.begin(), out.end());
    return out;
}

std::wstring Slot(std::size_t i) { return L"01" + std::to_wstring(10 + i); }

}  // namespace

TEST(PortDiscovery, ListsPresentComPortsByTheNameInParentheses) {
    std::vector<std::pair<std::string, std::string>> expected = {{"COM7", "Korvel virtual module (COM7)"}};
    for (std::size_t i = 0; i < std::size(kDevices); ++i) {
        RegisterPort(Slot(i), L"", kDevices[i].friendlyName);
        std::wstring wide = kDevices[i].friendlyName;
        if (kDevices[i].port) expected.emplace_back(kDevices[i].port, std::string(wide.begin(), wide.end()));
    }
    std::vector<PortInfo> ports = listSerialPorts();
    for (std::size_t i = 0; i < std::size(kDevices); ++i) UnregisterPort(Slot(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Sorted(ports), expected);
}

TEST(PortDiscovery, NarrowingKeepsThePortButAltersLettersBeyondAscii) {
    RegisterPort(L"0120", L"COM5", L"S\u00e9rie (COM5)");
    std::vector<PortInfo> ports = listSerialPorts();
    UnregisterPort(L"0120");
    auto found = std::find_if(ports.begin(), ports.end(), [](const PortInfo& p) { return p.port == "COM5"; });
    ASSERT_NE(found, ports.end());
    EXPECT_EQ(found->friendlyName, "S\xe9rie (COM5)");
    std::wstring shown = toWide(found->friendlyName);
    EXPECT_NE(shown, L"S\u00e9rie (COM5)");
    EXPECT_TRUE(shown.ends_with(L"rie (COM5)"));
}

TEST(PortDiscovery, WideningReadsUtf8) {
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toWide("Korvel (COM7)"), L"Korvel (COM7)");
    EXPECT_EQ(toWide("22 \xE2\x84\xA6"), L"22 \u2126");
}
