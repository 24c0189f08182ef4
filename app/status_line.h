#pragma once
// The status line: every outcome is one text that replaces the whole line.

#include <string>

#include "app/app_state.h"
#include "device/outcome.h"

void SetStatusText(App& app, const std::wstring& text);

// Shows an operation's outcome, if it has words. A failed exchange that the
// operation leaves to the safety net is handled as the net handles it: a
// serial failure disconnects before its text is shown. False then, and the
// handler that ran the operation goes no further.
bool Report(App& app, const Outcome& outcome);
