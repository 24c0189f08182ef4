#pragma once
// A configuration as JSON text, for people and version control: the four
// settings by name and each table as a list of rows with named fields. Every
// byte of a configuration has a spelling, so .cfg -> JSON -> .cfg gives the
// same bytes.
//
//   {"settings": {"maxBrightness": 80, "irFullRepeat": false, "irRepeatPeriod": 100,
//                 "defaultResistance": {"ra": "3.9 kΩ", "rb": "22 Ω"}},
//    "media": [{"button": "0x15", "irCode": "0x11223344", "lines": ["L1", "H4"],
//               "flags": ["Toggle", "Repeat"], "ra": "3.9 kΩ", "rb": "none"}, ...],
//    "gears": [...], "horn": [...], "acc": [...]}
//
// Button and IR codes are hexadecimal strings (ACC buttons four digits); lines
// and flags the names of their set bits, flags without a column as "bit4" to
// "bit7"; RA and RB the catalogue's name of a code, or four hexadecimal digits
// for a value no entry has, and "none" for no resistor; a full-repeat byte
// other than 0 or 1 as its number; a max brightness above 100, which only a
// .cfg file can hold and the module refuses, as a string that says so:
// "150 (above 100)".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "config/json.h"
#include "device/module_config.h"
#include "device/records.h"

// The document above, and its parts: one setting's member of "settings" (key
// and value), and one row of table `table`. korvelctl's --json prints these
// same shapes.
JsonValue ConfigJson(const ModuleConfig& config);
std::pair<std::string, JsonValue> SettingJson(const ModuleSettings& settings, Setting setting);
JsonValue SettingsJson(const ModuleSettings& settings);
JsonValue RowJson(std::uint32_t table, const ActionFields& fields);

// The settings in the order the document holds them.
inline constexpr Setting kJsonSettings[] = {Setting::MaxBrightness, Setting::IrFullRepeat, Setting::IrRepeatPeriod,
                                            Setting::DefaultResistance};

// The document written with two spaces per level, keys in the order above,
// one row per line, UTF-8, a newline at the end.
std::string EncodeConfigJson(const ModuleConfig& config);

// Reads a whole configuration into `out`, or says why not and leaves `out`
// untouched: a syntax error with its line and column, anything else with the
// path of the value and the reason ("media[3].button: 0x1FF is out of range
// 0x00 to 0xFF", "settings.maxBrightness: missing", "gears[0].colour: unknown
// key"). Resistor names are read as korvelctl reads them: "3.9 kOhm", "22Ω".
std::optional<std::string> DecodeConfigJson(std::string_view text, ModuleConfig& out);
