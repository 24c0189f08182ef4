#pragma once
// What was wrong with a configuration file, and a table too long to send, in
// the words the window and korvelctl both show.

#include <cstdint>
#include <string>

#include "device/outcome.h"

// "Failed to open file for loading", "Invalid config file", ...; a JSON file
// that is no configuration with the reason after a colon.
std::wstring FaultText(FileFault fault, const std::string& reason);

// "Media table has more than 255 rows; nothing written."
std::wstring TooManyRowsText(std::uint32_t table);
