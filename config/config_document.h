#pragma once
// Configuration files in either form, told apart by the file name: a name
// ending in ".json" (in any case) holds the JSON form, any other name a .cfg
// file. korvelctl reads and writes configurations through these.

#include <string>

#include "device/module_config.h"
#include "device/outcome.h"

bool IsJsonFileName(const std::wstring& path);

// Reads the whole configuration in `path` into `out` (outcome kLoadConfigFile):
// a .cfg file as ReadConfigFile reads it, a JSON file refused with
// FileFault::BadJson and the reason in Outcome::error. On any FileError `out`
// is untouched.
Outcome ReadConfigDocument(const std::wstring& path, ModuleConfig& out);

// Writes the configuration to `path` in the form its name asks for (outcome
// kSaveConfigFile) without ever destroying an earlier file there; see
// ReplaceFileContents.
Outcome WriteConfigDocument(const std::wstring& path, const ModuleConfig& config);
