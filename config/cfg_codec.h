#pragma once
// The .cfg layout: magic, version 2, the four tables (u32 count, then the
// records as the module sends them), then the four settings. Little-endian,
// no padding, no checksum. Settings are kept as their bytes: a full-repeat
// byte of 2 reads as 2.

#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>
#include <ostream>
#include <vector>

#include "device/module_config.h"
#include "device/outcome.h"

constexpr std::uint32_t CONFIG_MAGIC = 0x4E59417E;
constexpr std::uint32_t CONFIG_VERSION = 2;

// 30 + 9 * (Nm + Ng + Nh) + 10 * Na
std::size_t EncodedConfigSize(const ModuleConfig& config);

// Writes the whole configuration, stopping at the first failed write; false
// when any write failed.
bool EncodeConfig(std::ostream& out, const ModuleConfig& config);
std::vector<std::uint8_t> EncodeConfig(const ModuleConfig& config);

// Reads a whole configuration into `out`, or says what was wrong and leaves
// `out` untouched; `facts`, when given, then holds what is known beyond that:
// what a file that is no configuration starts with, the version of one of
// another version, and where and after how many bytes a cut-short one ends.
// A count the rest of the stream cannot hold is refused before anything is
// allocated for it; bytes after the last field are not read.
std::optional<FileFault> DecodeConfig(std::istream& in, ModuleConfig& out, FileFacts* facts = nullptr);
std::optional<FileFault> DecodeConfig(const std::vector<std::uint8_t>& bytes, ModuleConfig& out);

// What a file whose first bytes are `start` holds: nothing, a configuration,
// JSON, other text, or other bytes.
FileContent ContentOf(std::string_view start);
