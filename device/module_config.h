#pragma once
// One whole configuration of the module: its four action tables and its four
// settings. The configurator's held copy, a .cfg file, korvelctl and the
// virtual module all keep a configuration in this one shape.

#include <cstdint>
#include <vector>

#include "device/records.h"

// The four settings, as the protocol and .cfg files carry them.
struct ModuleSettings {
    std::uint8_t maxBrightness = 0;      // dimmer maximum, percent
    std::uint8_t irFullRepeat = 0;       // 0 off, any other value on
    std::uint16_t irRepeatPeriod = 0;    // milliseconds
    std::uint16_t defaultResistors = 0;  // bits 0-14 RA code, bit 15 RB code
    bool operator==(const ModuleSettings&) const = default;
};

// The most the dimmer's maximum takes: it is a percentage.
constexpr std::uint8_t kBrightnessPercentMax = 100;

// The settings by name, in the order File > Open sends them.
enum class Setting { IrRepeatPeriod, IrFullRepeat, MaxBrightness, DefaultResistance };
constexpr Setting kSettings[] = {Setting::IrRepeatPeriod, Setting::IrFullRepeat, Setting::MaxBrightness,
                                 Setting::DefaultResistance};

// A setting's value, widened; and a value put into a setting, cut to its width.
inline std::uint32_t SettingValue(const ModuleSettings& s, Setting setting) {
    switch (setting) {
    case Setting::IrRepeatPeriod: return s.irRepeatPeriod;
    case Setting::IrFullRepeat: return s.irFullRepeat;
    case Setting::MaxBrightness: return s.maxBrightness;
    case Setting::DefaultResistance: break;
    }
    return s.defaultResistors;
}
inline void SetSettingValue(ModuleSettings& s, Setting setting, std::uint32_t value) {
    switch (setting) {
    case Setting::IrRepeatPeriod: s.irRepeatPeriod = static_cast<std::uint16_t>(value); return;
    case Setting::IrFullRepeat: s.irFullRepeat = static_cast<std::uint8_t>(value); return;
    case Setting::MaxBrightness: s.maxBrightness = static_cast<std::uint8_t>(value); return;
    case Setting::DefaultResistance: s.defaultResistors = static_cast<std::uint16_t>(value); return;
    }
}

struct ModuleConfig {
    std::vector<MediaAction> media;
    std::vector<GearAction> gears;
    std::vector<HornAction> horn;
    std::vector<AccAction> acc;
    ModuleSettings settings;
    bool operator==(const ModuleConfig&) const = default;
};

// What names a table: its number (the tab index), the tab's title and the
// word the table is known by in messages and files.
struct TableInfo {
    ActionTable id;
    const wchar_t* title;  // "Media", "Gears", "Horn", "ACC"
    const char* key;       // "media", "gears", "horn", "acc"
};

inline constexpr TableInfo kTables[kTableCount] = {
    {Media, L"Media", "media"}, {Gears, L"Gears", "gears"}, {Horn, L"Horn", "horn"}, {Acc, L"ACC", "acc"}};

// Calls visit(info, rows) for the four tables in tab order; `rows` is the
// table's vector of records, const when the configuration is.
template <class Config, class Visit>
void ForEachTable(Config& config, Visit&& visit) {
    visit(kTables[Media], config.media);
    visit(kTables[Gears], config.gears);
    visit(kTables[Horn], config.horn);
    visit(kTables[Acc], config.acc);
}

// Calls use(rows) for the table numbered `table`; false, and no call, for a
// number outside 0 to 3.
template <class Config, class Use>
bool WithTable(Config& config, std::uint32_t table, Use&& use) {
    bool found = false;
    ForEachTable(config, [&](const TableInfo& info, auto& rows) {
        if (info.id != table) return;
        found = true;
        use(rows);
    });
    return found;
}

// Rows past this cannot be addressed on the wire: the index is one byte, and
// a table read from the module has at most 255 rows.
constexpr std::size_t kMaxWireRows = 255;
