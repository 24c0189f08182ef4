#pragma once
// The virtual module: serves the whole protocol on a pseudo-terminal from a
// thread of its own, keeps four tables and four settings (running and stored
// copies), and injects faults on request. Tests use it in-process; korvel-sim
// wraps it as a program.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/module_config.h"
#include "device/protocol.h"
#include "sim/factory_config.h"

enum class FaultKind {
    Silence,   // send the first `afterBytes` bytes of the reply, then nothing
    Late,      // send the first `afterBytes` bytes, wait `delayMs`, send the rest
    Extra,     // send the reply, then `extra` bytes more
    Refuse,    // answer a status command with `status` instead of 0 (state unchanged)
    HangUp,    // send the first `afterBytes` bytes, then close the pseudo-terminal
};

struct Fault {
    FaultKind kind = FaultKind::Silence;
    int command = -1;             // the command byte it applies to; -1 for any
    std::size_t afterBytes = 0;   // point in the reply
    unsigned delayMs = 200;       // for Late
    std::vector<std::uint8_t> extra{0xEE};  // for Extra
    std::uint8_t status = 1;      // for Refuse
    int times = 1;                // how many matching exchanges it hits; -1 for ever
};

// One request and the reply bytes actually sent for it.
struct Exchange {
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> reply;
};

class VirtualModule {
public:
    explicit VirtualModule(ModuleConfig initial = FactoryConfig());
    ~VirtualModule();
    VirtualModule(const VirtualModule&) = delete;
    VirtualModule& operator=(const VirtualModule&) = delete;

    // The pseudo-terminal the configurator opens (/dev/pts/N).
    std::string portPath() const;
    // Also reachable through a symlink at `path`, removed again by the
    // destructor. A link left there by a module that has stopped is replaced;
    // throws std::runtime_error saying why when the path is anything else (a
    // file, the link of a running module) or the link cannot be made.
    void linkAt(const std::string& path);

    // The running configuration.
    ModuleConfig config() const;
    void setConfig(const ModuleConfig& config);

    // What the poll reports. By default both change slowly over time.
    void setPressed(PressedButtons pressed, std::uint8_t brightness);
    void setLiveChanges(bool on);

    // Faults, applied in the order added to the next matching exchanges.
    void addFault(const Fault& fault);
    void clearFaults();
    // Close the pseudo-terminal after `n` more exchanges (0: at once).
    void hangUpAfter(int n);
    // True once the line is hung up; waits at most `timeoutMs` for it.
    bool waitForHangUp(unsigned timeoutMs);
    // Bytes written to the line after `delayMs`, outside any exchange.
    void sendUnsolicited(std::vector<std::uint8_t> bytes, unsigned delayMs);
    // Pace reply bytes at the line rate of 115200 baud (10 bits a byte).
    void setPacing(bool on);

    std::vector<Exchange> exchanges() const;
    void clearExchanges();
    std::size_t exchangeCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
