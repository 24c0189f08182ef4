#pragma once
// The status line: every outcome is one text that replaces the whole line.

#include <functional>
#include <string>

#include "app/app_state.h"
#include "device/outcome.h"

void SetStatusText(App& app, const std::wstring& text);

// Shows an operation's outcome in the window's words (status_words.h). A
// failed exchange of an operation whose failures the window does not guard is
// the safety net's: it is thrown on as the error it was, so the handler goes
// no further and the net does what such an error does (a serial one
// disconnects).
void Report(App& app, const Outcome& outcome);

// Runs a handler's work with one operation. When the window guards that
// operation, anything thrown while the work runs ends here as the operation's
// own failure text; for any other operation it goes on to the safety net.
void Guarded(App& app, const OperationId& operation, const std::function<void()>& work);
