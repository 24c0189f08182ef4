#pragma once
// The commands that change one setting, send a test IR code, or act on the
// module's stored configuration. Each sends at most one command; a non-zero
// status byte is a refusal carrying the byte. Numbers come as the user's field
// read them: nothing when it held no number.

#include <cstdint>
#include <optional>

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

using NumberInput = std::optional<std::uint32_t>;

// saveConfig, loadConfig and resetConfig; NotConnected while no module is.
Outcome SaveModuleConfig(Module& module);
Outcome LoadModuleConfig(Module& module);
Outcome ResetModuleConfig(Module& module);

// sendIR with any 32-bit code.
Outcome SendIrCode(Module& module, NumberInput code);
// setIRRepeatPeriod with the low 16 bits of the period; no range check.
Outcome ApplyIrRepeatPeriod(Module& module, NumberInput period);
// setIRFullRepeat (outcome ToggleIrFullRepeat). Sent without asking whether a
// module is connected: the window offers it only while one is.
Outcome SetIrFullRepeat(Module& module, bool on);
// setDefaultResistance with the RA and RB catalogue entries at these
// positions; a position that names no entry (-1: no selection) is a Selection
// error and sends nothing. On success the value is held. Sent without asking
// whether a module is connected.
Outcome ApplyDefaultResistance(Module& module, int raIndex, int rbIndex);
// setMaxBrightness with 0 to 100. Its failed exchange is reported as its own.
Outcome ApplyMaxBrightness(Module& module, NumberInput value);

// Sends one held setting as it is held (outcome WriteHeldSetting), the full
// repeat as 1 or 0; the held value does not change.
Outcome WriteHeldSetting(Module& module, Setting setting);
