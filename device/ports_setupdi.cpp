// Windows port discovery: the present members of the Ports set-up class, named
// by the COM port in their friendly name.
#include "device/port_info.h"

#include <windows.h>

// Defines GUID_DEVCLASS_PORTS here instead of taking it from a library.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

namespace {

// Keeps the low 8 bits of each unit: port names are ASCII, and the display text
// is widened again by toWide.
std::string Narrow(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; *p; ++p) out.push_back(static_cast<char>(*p & 0xFF));
    return out;
}

}  // namespace

std::vector<PortInfo> listSerialPorts() {
    std::vector<PortInfo> ports;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ports;

    SP_DEVINFO_DATA member{};
    member.cbSize = sizeof(member);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &member); ++index) {
        wchar_t name[512] = {};
        if (!SetupDiGetDeviceRegistryPropertyW(set, &member, SPDRP_FRIENDLYNAME, nullptr,
                                               reinterpret_cast<BYTE*>(name), sizeof(name), nullptr))
            continue;
        name[511] = L'\0';
        std::string friendlyName = Narrow(name);
        std::size_t open = friendlyName.find("(COM");
        if (open == std::string::npos) continue;
        std::size_t close = friendlyName.find(')', open);
        if (close == std::string::npos) continue;
        ports.push_back({friendlyName.substr(open + 1, close - open - 1), friendlyName});
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

std::wstring toWide(const std::string& text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    for (UINT codePage : {CP_UTF8, CP_ACP}) {
        int units = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
        if (units > 0) {
            std::wstring wide(static_cast<std::size_t>(units), L'\0');
            MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), units);
            return wide;
        }
    }
    return {};
}
