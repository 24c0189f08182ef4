#pragma once
// The .cfg file layout: magic, version 2, the four tables (u32 count, then the
// records as the module sends them), then the four held settings. Little-endian,
// no padding, no checksum. Free of any window-system code.

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "actions/records.h"
#include "settings/held_settings.h"

constexpr std::uint32_t CONFIG_MAGIC = 0x4E59417E;
constexpr std::uint32_t CONFIG_VERSION = 2;

// One whole configuration: what a file holds.
struct ConfigData {
    std::vector<MediaAction> media;
    std::vector<GearAction> gears;
    std::vector<HornAction> horn;
    std::vector<AccAction> acc;
    HeldSettings settings;
    bool operator==(const ConfigData&) const = default;
};

// 30 + 9 * (Nm + Ng + Nh) + 10 * Na
std::size_t EncodedConfigSize(const ConfigData& data);

// Writes fields 1 to 14, stopping at the first failed write; false when any
// write failed.
bool EncodeConfig(std::ostream& out, const ConfigData& data);
std::vector<std::uint8_t> EncodeConfig(const ConfigData& data);

// Reads a whole configuration. On success `out` holds it and the result is
// empty; otherwise the result is the failure text ("Failed to read config
// header", "Invalid config file", "Unsupported config version", "Failed while
// reading config") and `out` is untouched. A count the rest of the stream
// cannot hold is refused before anything is allocated for it.
std::optional<std::wstring> DecodeConfig(std::istream& in, ConfigData& out);
std::optional<std::wstring> DecodeConfig(const std::vector<std::uint8_t>& bytes, ConfigData& out);

// Files, opened in binary mode with shared access. Writing returns the status
// text ("Config saved successfully", "Failed to open file for saving", "Failed
// while writing config"); reading returns nothing on success and the failure
// text otherwise ("Failed to open file for loading" or one of DecodeConfig's).
inline constexpr wchar_t kConfigSavedText[] = L"Config saved successfully";
std::wstring WriteConfigFile(const std::wstring& path, const ConfigData& data);
std::optional<std::wstring> ReadConfigFile(const std::wstring& path, ConfigData& out);
