#pragma once
// Why the system refused a file, as plain data: from the C library's error
// number, and opening a file for reading with that reason when it fails.

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "device/outcome.h"

// The fault of an error number met on `path`. A missing name is the file's
// own when its folder is there, else the folder's.
SystemFault SystemFaultOf(int error, const std::filesystem::path& path);

// Opens `path` for reading in binary into `in`; nothing when it opened, else
// why not. A folder is refused as one, where the system would open it.
std::optional<SystemFault> OpenToRead(const std::wstring& path, std::ifstream& in);
