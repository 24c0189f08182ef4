#pragma once
// .cfg files on disk: writing one and reading one. Files are opened in binary
// mode with shared access and closed before the call returns.

#include <string>

#include "device/module_config.h"
#include "device/outcome.h"

inline constexpr OperationId kSaveConfigFile{}, kLoadConfigFile{};

// Outcome kSaveConfigFile: Done, or a FileError
// (the file could not be created, or a write or the closing flush failed).
Outcome SaveConfigFile(const std::wstring& path, const ModuleConfig& config);

// Reads the whole file into `out` (outcome kLoadConfigFile); on any FileError
// `out` is untouched, and the outcome's file facts say why the file did not
// open, what it holds when it is no configuration, or where it ends.
Outcome ReadConfigFile(const std::wstring& path, ModuleConfig& out);
