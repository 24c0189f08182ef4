#pragma once
// What the module does with one complete request: the change to its state and
// the reply it owes. No I/O, timing or faults here; virtual_module.cpp adds them.

#include <cstdint>
#include <vector>

#include "device/module_config.h"
#include "device/protocol.h"

struct ModuleState {
    ModuleConfig running;
    ModuleConfig stored;  // what saveConfig keeps and loadConfig brings back
};

// True for the commands whose whole reply is one status byte.
bool RepliesWithStatus(std::uint8_t command);

// Carries out a request (command byte and all its argument bytes) and returns
// the reply. A byte that is no command gets no reply.
std::vector<std::uint8_t> ExecuteRequest(ModuleState& state, const std::vector<std::uint8_t>& request,
                                         const LiveValues& live);
