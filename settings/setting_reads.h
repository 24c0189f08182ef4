#pragma once
// Reading the four settings from the module into the held configuration.
// Each is one exchange; while no module is connected nothing is sent and the
// outcome (NotConnected) shows nothing. A failed exchange keeps the held value.

#include "device/module.h"
#include "device/outcome.h"

// getMaxBrightness; a value above 100 is held as 100.
Outcome ReadMaxBrightness(Module& module);
// getIRFullRepeat; any value but 0 is held as on (1).
Outcome ReadFullRepeat(Module& module);
// getIRRepeatPeriod.
Outcome ReadIrRepeatPeriod(Module& module);
// getDefaultResistance, whatever its bits.
Outcome ReadDefaultResistance(Module& module);
