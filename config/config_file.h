#pragma once
// Configuration files on disk: writing one, reading one, and loading one into
// the held configuration. Files are opened in binary mode with shared access
// and closed before the call returns.

#include <string>

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

// Outcome SaveConfigFile: Done ("Config saved successfully"), or a FileError
// (the file could not be created, or a write or the closing flush failed).
Outcome SaveConfigFile(const std::wstring& path, const ModuleConfig& config);

// Reads the whole file into `out` (outcome LoadConfigFile); on any FileError
// `out` is untouched.
Outcome ReadConfigFile(const std::wstring& path, ModuleConfig& out);

// Reads the file (a .cfg file, or the JSON form when its name ends in .json)
// and, only when the whole of it was read, replaces the held tables and
// settings with it; a full-repeat byte other than 0 is held as on.
Outcome LoadConfigFile(Module& module, const std::wstring& path);
