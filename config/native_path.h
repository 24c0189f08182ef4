#pragma once
// File names come in as wide text; the C++ library takes them in the
// system's own form: wide on Windows, UTF-8 bytes elsewhere; and back.

#include <filesystem>
#include <string>

#include "device/text.h"

inline std::filesystem::path NativePath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(ToUtf8(path));
#endif
}

// A name from the system as wide text: UTF-8, or one character per byte when it is not.
inline std::wstring WidePath(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return WidenText(path.string());
#endif
}
