#pragma once
// Configuration files in either form, told apart by the file name: a name
// ending in ".json" (in any case) holds the JSON form, any other name a .cfg
// file. korvelctl reads and writes configurations through these.

#include <string>

#include "device/module.h"
#include "device/module_config.h"
#include "device/outcome.h"

bool IsJsonFileName(const std::wstring& path);

// Reads the whole configuration in `path` into `out` (outcome kLoadConfigFile):
// a .cfg file as ReadConfigFile reads it, a JSON file refused with
// FileFault::BadJson and the reason in Outcome::error. On any FileError `out`
// is untouched.
Outcome ReadConfigDocument(const std::wstring& path, ModuleConfig& out);

// Reads the file as ReadConfigDocument does and, only when the whole of it was
// read, replaces the held tables and settings with it; a full-repeat byte
// other than 0 is held as on.
Outcome LoadConfigFile(Module& module, const std::wstring& path);

// Writes the configuration to `path` in the form its name asks for (outcome
// kSaveConfigFile) without ever destroying an earlier file there; see
// ReplaceFileContents.
Outcome WriteConfigDocument(const std::wstring& path, const ModuleConfig& config);
