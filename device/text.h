#pragma once
// Conversions between the 8-bit texts of the link and ports and the wide texts
// the user sees. Every user-visible text is in the Basic Multilingual Plane, so
// a wchar_t holds one UTF-16 unit on every platform.

#include <string>

// Each byte becomes one character (exception messages on the status line).
std::wstring WidenBytes(const std::string& text);
// Wide text to UTF-8 (console output, logs).
std::string ToUtf8(const std::wstring& text);
// UTF-8 to wide text; false when the bytes are not valid UTF-8.
bool FromUtf8(const std::string& text, std::wstring& out);
// 8-bit text from outside (a system's message, a command-line argument): as
// UTF-8, or, when it is not UTF-8, one character per byte.
std::wstring WidenText(const std::string& text);
