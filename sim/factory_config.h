#pragma once
// What the virtual module holds when it starts, and after resetConfig.

#include "device/module_config.h"

// Realistic factory contents: one Media row per named media button, a few gear
// rows, the horn row, one ACC row per named ACC button.
ModuleConfig FactoryConfig();
