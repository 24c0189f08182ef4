#pragma once
// The live poll: what is pressed now and the dimmer's current brightness.

#include "device/module.h"
#include "device/outcome.h"
#include "device/protocol.h"

// getPressedButtons, then getCurrentBrightness (outcome PollLiveValues);
// `live` is written only when both answered. When the first fails the second
// is not sent.
Outcome PollLiveValues(Module& module, LiveValues& live);
