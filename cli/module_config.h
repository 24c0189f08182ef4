#pragma once
// The module's whole configuration as a .cfg file holds it.

#include "config/cfg_codec.h"
#include "device/serial_link.h"

// The four settings, then the four tables. Throws what the exchanges throw.
ConfigData ReadModuleConfig(SerialLink& link);
