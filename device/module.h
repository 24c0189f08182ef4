#pragma once
// The module as the configurator works with it: the serial link, whose
// connected flag is the user-level state, and the held configuration, the
// configurator's copy of the module's tables and settings as last read from
// it or loaded from a file. Every module operation takes one.

#include <string>

#include "device/module_config.h"
#include "device/outcome.h"
#include "device/serial_link.h"

struct Module {
    SerialLink link;
    ModuleConfig held;
};

inline bool IsConnected(const Module& module) { return module.link.connected; }

// Runs an operation's exchanges with the module as Attempt does. Every
// operation asks first: while no module is connected nothing is sent and the
// outcome is NotConnected.
template <class Steps>
Outcome AttemptOn(Module& module, Outcome outcome, Steps&& steps) {
    if (IsConnected(module)) return Attempt(std::move(outcome), steps);
    outcome.kind = OutcomeKind::NotConnected;
    return outcome;
}

inline constexpr OperationId kConnect{};

// Opens the port and marks the module connected. Every failure of the open
// counts the same: NotConnected, and the link stays closed; the outcome
// carries why the open failed, for whoever words more than the window does.
Outcome Connect(Module& module, const std::string& port);
