// korvel-sim: the virtual module as a program. Prints the pseudo-terminal's
// path on the first line of standard output, announces itself where
// korvelctl ports finds it, and serves it until SIGINT or SIGTERM, or until
// it hangs up as asked. Anything that stops it from
// starting is one line on standard error and exit status 2.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "device/ports_linux.h"
#include "korvel_version.h"
#include "sim/sim_options.h"
#include "sim/virtual_module.h"

namespace {

int Refuse(const std::string& line) {
    std::fprintf(stderr, "korvel-sim: %s\n", line.c_str());
    return 2;
}

// Appends the exchanges recorded since the last call, one line each.
void AppendExchanges(std::FILE* log, const VirtualModule& module, std::size_t& written) {
    std::vector<Exchange> all = module.exchanges();
    for (; written < all.size(); ++written) {
        for (std::uint8_t byte : all[written].request) std::fprintf(log, "%02X ", byte);
        std::fputs("->", log);
        for (std::uint8_t byte : all[written].reply) std::fprintf(log, " %02X", byte);
        std::fputc('\n', log);
    }
    std::fflush(log);
}

template <class R>
void Resize(std::vector<R>& table, std::size_t rows) {
    std::vector<R> model = table;
    table.clear();
    for (std::size_t i = 0; i < rows; ++i) table.push_back(model.empty() ? R{} : model[i % model.size()]);
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    if (auto problem = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "korvel-sim: %s\nTry 'korvel-sim --help'.\n", problem->c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("korvel-sim " KORVEL_VERSION);
        return 0;
    }

    ModuleConfig config = FactoryConfig();
    if (options.rows >= 0) {
        const auto rows = static_cast<std::size_t>(options.rows);
        Resize(config.media, rows), Resize(config.gears, rows), Resize(config.horn, rows), Resize(config.acc, rows);
    }
    if (auto problem = CheckFaults(options.faults, config)) return Refuse(*problem);

    std::FILE* log = nullptr;
    if (!options.logPath.empty() && !(log = std::fopen(options.logPath.c_str(), "a")))
        return Refuse("cannot open the log " + options.logPath + ": " + std::strerror(errno));

    // Block the stop signals before the server thread starts, so that it
    // inherits the mask and only the wait below takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<VirtualModule> module;
    try {
        module = std::make_unique<VirtualModule>(config);
        if (!options.link.empty()) module->linkAt(options.link);
    } catch (const std::runtime_error& error) {
        if (log) std::fclose(log);
        return Refuse(error.what());
    }
    module->setPacing(options.pace);
    for (const FaultOption& option : options.faults) module->addFault(option.fault);
    if (options.hangUpAfter >= 0) module->hangUpAfter(options.hangUpAfter);
    // korvelctl ports lists it, by its link when it has one, from before the
    // first line: whoever reads that line can find it listed.
    const std::string port = options.link.empty() ? module->portPath() : std::filesystem::absolute(options.link).string();
    const VirtualModuleAnnouncement announced(VirtualModuleFolder(), port, module->portPath());
    std::printf("%s\n", module->portPath().c_str());
    std::fflush(stdout);

    std::size_t logged = 0;
    const timespec tick{0, 20000000};
    for (;;) {
        if (log) AppendExchanges(log, *module, logged);
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) break;
        if (options.hangUpAfter >= 0 && module->waitForHangUp(0)) break;
    }
    if (log) {
        AppendExchanges(log, *module, logged);
        std::fclose(log);
    }
    return 0;
}
