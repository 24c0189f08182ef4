// korvel-sim: the virtual module as a program. Prints the pseudo-terminal's
// path on the first line of standard output and serves it until SIGINT or
// SIGTERM, or until it hangs up as asked.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "korvel_version.h"
#include "sim/virtual_module.h"

namespace {

const char kUsage[] =
    "usage: korvel-sim [options]\n"
    "  --link PATH            also reach the pseudo-terminal through a symlink at PATH\n"
    "  --log FILE             append each exchange to FILE as hex: REQUEST -> REPLY\n"
    "  --pace                 send reply bytes at the pace of a 115200 baud line\n"
    "  --rows N               give each of the four tables N rows (0 to 255)\n"
    "  --silent-on CMD        never answer command CMD\n"
    "  --short-reply CMD:N    send only the first N bytes of the replies to CMD\n"
    "  --late CMD[:MS]        send the replies to CMD MS ms late (default 200)\n"
    "  --extra CMD[:BYTE]     follow each reply to CMD with one byte more (default 0xEE)\n"
    "  --refuse CMD:STATUS    answer CMD with STATUS and leave the module unchanged\n"
    "  --hang-up-on CMD[:N]   hang up after N bytes of the reply to CMD (default 0)\n"
    "  --hang-up-after N      hang up after N exchanges, then exit\n"
    "  --version              print the version and exit\n";

[[noreturn]] void usage() {
    std::fputs(kUsage, stderr);
    std::exit(2);
}

// Appends the exchanges recorded since the last call, one line each.
void appendExchanges(std::FILE* log, const VirtualModule& module, std::size_t& written) {
    std::vector<Exchange> all = module.exchanges();
    for (; written < all.size(); ++written) {
        for (std::uint8_t byte : all[written].request) std::fprintf(log, "%02X ", byte);
        std::fputs("->", log);
        for (std::uint8_t byte : all[written].reply) std::fprintf(log, " %02X", byte);
        std::fputc('\n', log);
    }
    std::fflush(log);
}

unsigned long number(const std::string& text, unsigned long max) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value > max) usage();
    return value;
}

// CMD or CMD:VALUE; the value is `fallback` when absent.
std::pair<int, unsigned long> commandAndValue(const std::string& text, bool valueRequired, unsigned long fallback,
                                              unsigned long max) {
    auto colon = text.find(':');
    if (colon == std::string::npos && valueRequired) usage();
    int command = static_cast<int>(number(text.substr(0, colon), 21));
    unsigned long value = colon == std::string::npos ? fallback : number(text.substr(colon + 1), max);
    return {command, value};
}

template <class R>
void resize(std::vector<R>& table, std::size_t rows) {
    std::vector<R> model = table;
    table.clear();
    for (std::size_t i = 0; i < rows; ++i) table.push_back(model.empty() ? R{} : model[i % model.size()]);
}

}  // namespace

int main(int argc, char** argv) {
    std::string link;
    std::string logPath;
    bool pace = false;
    int hangUpAfter = -1;
    int rows = -1;
    std::vector<Fault> faults;
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (flag == "--pace") {
            pace = true;
            continue;
        }
        if (flag == "--help" || flag == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (flag == "--version") {
            std::puts("korvel-sim " KORVEL_VERSION);
            return 0;
        }
        if (i + 1 >= argc) usage();
        std::string value = argv[++i];
        Fault fault;
        fault.times = -1;  // a program's faults last as long as it runs
        if (flag == "--link") {
            link = value;
            continue;
        } else if (flag == "--log") {
            logPath = value;
            continue;
        } else if (flag == "--rows") {
            rows = static_cast<int>(number(value, 255));
            continue;
        } else if (flag == "--hang-up-after") {
            hangUpAfter = static_cast<int>(number(value, 1000000));
            continue;
        } else if (flag == "--silent-on") {
            fault.kind = FaultKind::Silence;
            fault.command = static_cast<int>(number(value, 21));
        } else if (flag == "--short-reply") {
            fault.kind = FaultKind::Silence;
            auto [command, bytes] = commandAndValue(value, true, 0, 2551);
            fault.command = command;
            fault.afterBytes = bytes;
        } else if (flag == "--late") {
            fault.kind = FaultKind::Late;
            auto [command, ms] = commandAndValue(value, false, 200, 60000);
            fault.command = command;
            fault.delayMs = static_cast<unsigned>(ms);
        } else if (flag == "--extra") {
            fault.kind = FaultKind::Extra;
            auto [command, byte] = commandAndValue(value, false, 0xEE, 255);
            fault.command = command;
            fault.extra = {static_cast<std::uint8_t>(byte)};
        } else if (flag == "--refuse") {
            fault.kind = FaultKind::Refuse;
            auto [command, status] = commandAndValue(value, true, 0, 255);
            fault.command = command;
            fault.status = static_cast<std::uint8_t>(status);
        } else if (flag == "--hang-up-on") {
            fault.kind = FaultKind::HangUp;
            auto [command, bytes] = commandAndValue(value, false, 0, 2551);
            fault.command = command;
            fault.afterBytes = bytes;
        } else {
            usage();
        }
        faults.push_back(fault);
    }

    // Block the stop signals before the server thread starts, so that it
    // inherits the mask and only the wait below takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ModuleConfig config = FactoryConfig();
    if (rows >= 0) {
        resize(config.media, static_cast<std::size_t>(rows));
        resize(config.gears, static_cast<std::size_t>(rows));
        resize(config.horn, static_cast<std::size_t>(rows));
        resize(config.acc, static_cast<std::size_t>(rows));
    }
    VirtualModule module(config);
    if (!link.empty()) module.linkAt(link);
    module.setPacing(pace);
    for (const auto& fault : faults) module.addFault(fault);
    if (hangUpAfter >= 0) module.hangUpAfter(hangUpAfter);
    std::printf("%s\n", module.portPath().c_str());
    std::fflush(stdout);

    std::FILE* log = logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "a");
    std::size_t logged = 0;
    const timespec tick{0, 20000000};
    for (;;) {
        if (log) appendExchanges(log, module, logged);
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) break;
        if (hangUpAfter >= 0 && module.waitForHangUp(0)) break;
    }
    if (log) {
        appendExchanges(log, module, logged);
        std::fclose(log);
    }
    return 0;
}
