#pragma once
// The module's whole configuration read from it in one go: what a backup keeps
// and what a restore reads back to compare.

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

// getIRRepeatPeriod, getIRFullRepeat, getMaxBrightness, getDefaultResistance,
// then the Media, Gears, Horn and ACC tables (outcome ReadWholeConfig). The
// settings are kept as the module answers them, a brightness above 100
// included, but for the full repeat, held as on (1) or off (0). `out` is
// written only when every exchange answered; the held configuration is not
// touched.
Outcome ReadWholeConfig(Module& module, ModuleConfig& out);
