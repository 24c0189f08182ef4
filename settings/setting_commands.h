#pragma once
// The commands that change one setting, send a test IR code, or act on the
// module's stored configuration. Each takes its value as the protocol carries
// it, sends one command while a module is connected (NotConnected otherwise),
// and answers Done or a refusal carrying the module's status byte. Reading a
// value from what a user typed, and checking its range, is the front end's.

#include <cstdint>

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

inline constexpr OperationId kSaveModuleConfig{}, kLoadModuleConfig{}, kResetModuleConfig{};
inline constexpr OperationId kSendIrCode{}, kApplyIrRepeatPeriod{}, kSetIrFullRepeat{}, kApplyDefaultResistance{},
    kApplyMaxBrightness{};
inline constexpr OperationId kWriteHeldSetting{};

// saveConfig, loadConfig and resetConfig.
Outcome SaveModuleConfig(Module& module);
Outcome LoadModuleConfig(Module& module);
Outcome ResetModuleConfig(Module& module);

// sendIR with any 32-bit code.
Outcome SendIrCode(Module& module, std::uint32_t code);
// setIRRepeatPeriod.
Outcome ApplyIrRepeatPeriod(Module& module, std::uint16_t periodMs);
// setIRFullRepeat with 1 or 0.
Outcome SetIrFullRepeat(Module& module, bool on);
// setDefaultResistance with RA's bits and RB's bit; on success the value is held.
Outcome ApplyDefaultResistance(Module& module, std::uint16_t resistors);
// setMaxBrightness.
Outcome ApplyMaxBrightness(Module& module, std::uint8_t percent);

// Whether every setting of `settings` is one the module takes: Done, or
// InvalidInput (outcome kWriteHeldSetting, Value) with the setting that is
// not, a max brightness above 100. Checked before a whole configuration goes
// out, so that none is sent that could only be taken in part.
Outcome CheckSettingRanges(const ModuleSettings& settings);

// Sends one held setting as it is held (outcome kWriteHeldSetting, with the
// setting), the full repeat as 1 or 0; the held value does not change.
Outcome WriteHeldSetting(Module& module, Setting setting);
