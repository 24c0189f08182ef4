#pragma once
// The common Save and Open dialogs for .cfg files.

#include <windows.h>

#include <optional>
#include <string>

// The chosen path; nothing when the user cancels or the dialog fails.
std::optional<std::wstring> AskConfigFileName(HWND owner, bool save);
