#include "cli/commands.h"
#include "cli/exit_status.h"
#include "device/port_info.h"

int RunPorts(const CliArguments&, const CliOutput& output) {
    for (const PortInfo& port : listSerialPorts()) output.out(toWide(port.port) + L"\t" + toWide(port.friendlyName) + L"\n");
    return kExitOk;
}
