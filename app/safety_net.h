#pragma once
// The one guarded region every message of the main window is handled in.

#include <functional>

#include "app/app_state.h"

// Runs a handler. Failed exchanges come back from the operations as outcomes;
// anything still thrown ends here as a status text: a runtime error with its
// message, anything else as an unknown error.
void RunGuarded(App& app, const std::function<void()>& handler);
