#pragma once
// The live poll: what is pressed now and the dimmer's current brightness.

#include "device/module.h"
#include "device/outcome.h"
#include "device/protocol.h"

inline constexpr OperationId kPollLiveValues{};

// The live poll's rate, and the period between two polls it gives.
constexpr unsigned kPollRateHz = 5;
constexpr unsigned kPollIntervalMs = 1000 / kPollRateHz;

// getPressedButtons, then getCurrentBrightness (outcome kPollLiveValues);
// `live` is written only when both answered. When the first fails the second
// is not sent.
Outcome PollLiveValues(Module& module, LiveValues& live);
