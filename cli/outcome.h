#pragma once
// The exit status of a status-line text that a handler of the window left.

#include <string>

// `success` gives kExitOk; a text of an operation that caught its own
// transport failure ("... failed (exception).") kExitDevice; a refusal, which
// ends in the module's code after "response: ", kExitRefused; anything else is
// the handler's rejection of the value given, kExitUsage.
int OutcomeStatus(const std::wstring& outcome, const std::wstring& success);
