#pragma once
// The window's words: one table from an operation and its outcome to the text
// the status line shows. A text that reports a number ends in a blank and is
// followed directly by the number in decimal.

#include <string>

#include "device/outcome.h"

// The status-line text of an outcome; empty when the window shows nothing for
// it (a sync while disconnected, a refresh of all tables that succeeded, a
// failed exchange that is the safety net's to show).
std::wstring StatusText(const Outcome& outcome);

// The one text an operation whose exchanges the window guards shows for any
// failure while it runs ("... failed (exception)."); nullptr for an operation
// that leaves its failures to the safety net.
const wchar_t* OwnFailureText(const OperationId& operation);
