#pragma once
// Reading the four settings from the module. Each is one exchange, whose
// answer is kept as the module gives it but for the full repeat, kept as on
// (1) or off (0); what the window then makes of a value is the window's.

#include "device/module.h"
#include "device/outcome.h"
#include "device/serial_link.h"

// The one reading of a setting: asks the module and writes the answer into
// `into`, which keeps its value when the exchange fails.
void QuerySetting(SerialLink& link, Setting setting, ModuleSettings& into);

inline constexpr OperationId kReadMaxBrightness{}, kReadFullRepeat{}, kReadIrRepeatPeriod{}, kReadDefaultResistance{};

// One setting read into the held configuration, each with its own id.
Outcome ReadMaxBrightness(Module& module);
Outcome ReadFullRepeat(Module& module);
Outcome ReadIrRepeatPeriod(Module& module);
Outcome ReadDefaultResistance(Module& module);
