#pragma once
// The module's whole configuration read from it in one go: what a backup keeps
// and what a restore reads back to compare.

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

inline constexpr OperationId kReadWholeConfig{};

// The four settings in the order of kSettings, each read as QuerySetting
// reads it (a brightness above 100 included: a backup restores what was
// there, not what the window shows), then the Media, Gears, Horn and ACC
// tables (outcome kReadWholeConfig). `out` is written only when every
// exchange answered; the held configuration is not touched.
Outcome ReadWholeConfig(Module& module, ModuleConfig& out);
