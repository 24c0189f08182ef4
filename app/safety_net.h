#pragma once
// The one guarded region every message of the main window is handled in.

#include <functional>

#include "app/app_state.h"

// Runs a handler. Whatever it throws ends here as one status text: a protocol
// error, a serial error (after disconnecting), any other runtime error with
// its message, anything else as an unknown error.
void RunGuarded(App& app, const std::function<void()>& handler);
