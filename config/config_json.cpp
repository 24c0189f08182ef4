#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "device/text.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"

namespace {

// Bit 0 first.
constexpr const char* kLineNames[8] = {"L1", "L2", "L3", "L4", "H1", "H2", "H3", "H4"};
constexpr const char* kFlagNames[8] = {"Toggle", "Invert", "Store", "Repeat", "bit4", "bit5", "bit6", "bit7"};
constexpr const char* kLineChoices = "L1..L4, H1..H4";
constexpr const char* kFlagChoices = "Toggle, Invert, Store, Repeat, bit4..bit7";

constexpr const char* kRowKeys[] = {"button", "irCode", "lines", "flags", "ra", "rb"};
// In the order of kJsonSettings.
constexpr const char* kSettingKeys[] = {"maxBrightness", "irFullRepeat", "irRepeatPeriod", "defaultResistance"};
constexpr const char* kResistanceKeys[] = {"ra", "rb"};
constexpr const char* kDocumentKeys[] = {"settings", kTables[Media].key, kTables[Gears].key, kTables[Horn].key,
                                         kTables[Acc].key};

// After a max brightness above 100, which the module would refuse.
constexpr const char* kAboveTheRange = " (above 100)";

constexpr std::uint16_t kRaMask = 0x7FFF;
constexpr std::uint16_t kRbMask = 0x8000;

std::string Hex(std::uint32_t value, int digits) { return ToUtf8(FormatHex(value, digits)); }

constexpr int ButtonDigits(std::uint32_t table) { return table == Acc ? 4 : 2; }

// Writing.

JsonValue BitNames(std::uint8_t bits, const char* const (&names)[8]) {
    JsonValue list = JsonArray({});
    for (int bit = 0; bit < 8; ++bit)
        if (bits >> bit & 1) list.items.push_back(JsonString(names[bit]));
    return list;
}

// The catalogue's names of the RA and RB codes, or their hexadecimal form
// when no entry has them (only the empty name belongs to 0).
JsonValue ResistanceJson(std::uint16_t resistors) {
    return JsonObject({{"ra", JsonString(ToUtf8(ResistorNameOrCode(ResistorOutput::Ra, resistors)))},
                       {"rb", JsonString(ToUtf8(ResistorNameOrCode(ResistorOutput::Rb, resistors)))}});
}

// Reading.

// Why a document is not a configuration, with the path of the value.
struct Refusal {
    std::string text;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
    throw Refusal{path.empty() ? reason : path + ": " + reason};
}

std::string Member(const std::string& path, const std::string& key) {
    bool plain = !key.empty();
    for (char c : key) plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    const std::string name = plain ? key : QuoteJson(key);
    return path.empty() ? name : path + "." + name;
}

std::string Item(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

const JsonValue& Expect(const JsonValue& value, JsonKind kind, const std::string& path, const char* what) {
    if (value.kind != kind) Refuse(path, std::string("expected ") + what + ", found " + DescribeJson(value));
    return value;
}

// The members of an object that may hold exactly `keys`, in the order of `keys`.
template <std::size_t N>
std::array<const JsonValue*, N> Fields(const JsonValue& value, const char* const (&keys)[N], const std::string& path) {
    Expect(value, JsonKind::Object, path, "an object");
    std::array<const JsonValue*, N> found{};
    for (const auto& [key, member] : value.members) {
        std::size_t k = 0;
        while (k < N && key != keys[k]) ++k;
        if (k == N) Refuse(Member(path, key), "unknown key");
        found[k] = &member;
    }
    for (std::size_t k = 0; k < N; ++k)
        if (!found[k]) Refuse(Member(path, keys[k]), "missing");
    return found;
}

// Digits read as korvelctl reads a number; nothing beyond 32 bits, which no
// field takes.
std::optional<std::uint32_t> Number(std::string_view digits) {
    return ParseWholeNumber(WidenBytes(std::string(digits)));
}

std::uint32_t WholeNumber(const JsonValue& value, const std::string& path, std::uint32_t max) {
    const std::string& text = Expect(value, JsonKind::Number, path, "a whole number").text;
    if (text.find_first_of(".eE") != std::string::npos) Refuse(path, text + " is not a whole number");
    const bool negative = text[0] == '-';
    const auto number = Number(std::string_view(text).substr(negative ? 1 : 0));
    if (!number || (negative && *number != 0) || *number > max)
        Refuse(path, text + " is out of range 0 to " + std::to_string(max));
    return *number;
}

// A max brightness: a number from 0 to 100, or one above written so that a
// reader sees it is ("150 (above 100)"), as only a .cfg file can hold it.
std::uint8_t Brightness(const JsonValue& value, const std::string& path) {
    if (value.kind != JsonKind::String) return static_cast<std::uint8_t>(WholeNumber(value, path, kBrightnessPercentMax));
    const std::string& text = value.text;
    const std::size_t space = text.find(' ');
    const auto number = Number(std::string_view(text).substr(0, space));
    if (space == std::string::npos || text.substr(space) != kAboveTheRange || !number || *number > 0xFF ||
        *number <= kBrightnessPercentMax)
        Refuse(path, QuoteJson(text) + " is neither a number from 0 to 100 nor one above it written as \"150" +
                         kAboveTheRange + "\"");
    return static_cast<std::uint8_t>(*number);
}

bool IsHex(std::string_view text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
    return text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos;
}

std::uint32_t HexCode(const JsonValue& value, const std::string& path, std::uint32_t max, int digits) {
    const std::string& text = Expect(value, JsonKind::String, path, "a hexadecimal string").text;
    if (!IsHex(text)) Refuse(path, QuoteJson(text) + " is not a hexadecimal number starting with 0x");
    const auto code = Number(text);
    if (!code || *code > max) Refuse(path, text + " is out of range " + Hex(0, digits) + " to " + Hex(max, digits));
    return *code;
}

// A catalogue name, read leniently, or the code itself in hexadecimal.
std::uint16_t ResistorCode(const JsonValue& value, const std::string& path, ResistorOutput output) {
    const std::string& text = Expect(value, JsonKind::String, path, "a string").text;
    if (IsHex(text)) {
        if (output == ResistorOutput::Ra) return static_cast<std::uint16_t>(HexCode(value, path, kRaMask, 4));
        const auto code = Number(text);
        if (code != 0u && code != kRbMask) Refuse(path, text + " is not 0x0000 or 0x8000");
        return static_cast<std::uint16_t>(*code);
    }
    std::wstring name;
    if (FromUtf8(text, name))
        if (const auto code = ReadResistorName(output, name)) return *code;
    Refuse(path, QuoteJson(text) + " is not one of " + ToUtf8(AcceptedResistorNames(output)));
}

std::uint16_t ResistanceCode(const JsonValue& ra, const JsonValue& rb, const std::string& path) {
    return static_cast<std::uint16_t>(ResistorCode(ra, Member(path, "ra"), ResistorOutput::Ra) |
                                      ResistorCode(rb, Member(path, "rb"), ResistorOutput::Rb));
}

std::uint8_t Bits(const JsonValue& value, const std::string& path, const char* const (&names)[8], const char* choices) {
    std::uint8_t bits = 0;
    const auto& items = Expect(value, JsonKind::Array, path, "an array of names").items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& name = Expect(items[i], JsonKind::String, Item(path, i), "a name").text;
        int bit = 0;
        while (bit < 8 && name != names[bit]) ++bit;
        if (bit == 8) Refuse(path, QuoteJson(name) + " is not one of " + choices);
        if (bits >> bit & 1) Refuse(path, QuoteJson(name) + " is given twice");
        bits |= static_cast<std::uint8_t>(1u << bit);
    }
    return bits;
}

template <class R>
R RowFrom(const JsonValue& value, const std::string& path) {
    const auto [button, irCode, lines, flags, ra, rb] = Fields(value, kRowKeys, path);
    constexpr int digits = ButtonDigits(R::kTable);
    ActionFields f;
    f.button = static_cast<std::uint16_t>(HexCode(*button, Member(path, "button"), digits == 4 ? 0xFFFF : 0xFF, digits));
    f.irCode = HexCode(*irCode, Member(path, "irCode"), 0xFFFFFFFF, 8);
    f.lines = Bits(*lines, Member(path, "lines"), kLineNames, kLineChoices);
    f.flags = Bits(*flags, Member(path, "flags"), kFlagNames, kFlagChoices);
    f.resistors = ResistanceCode(*ra, *rb, path);
    return MakeRecord<R>(f);
}

template <class R>
void TableFrom(const JsonValue& value, const std::string& path, std::vector<R>& rows) {
    const auto& items = Expect(value, JsonKind::Array, path, "an array of rows").items;
    rows.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) rows.push_back(RowFrom<R>(items[i], Item(path, i)));
}

ModuleSettings SettingsFrom(const JsonValue& value, const std::string& path) {
    const auto [brightness, fullRepeat, period, resistance] = Fields(value, kSettingKeys, path);
    ModuleSettings s;
    s.maxBrightness = Brightness(*brightness, Member(path, "maxBrightness"));
    const std::string repeatPath = Member(path, "irFullRepeat");
    if (fullRepeat->kind == JsonKind::Boolean) s.irFullRepeat = fullRepeat->boolean;
    else if (fullRepeat->kind == JsonKind::Number) s.irFullRepeat = static_cast<std::uint8_t>(WholeNumber(*fullRepeat, repeatPath, 0xFF));
    else Refuse(repeatPath, "expected true, false or a whole number, found " + DescribeJson(*fullRepeat));
    s.irRepeatPeriod = static_cast<std::uint16_t>(WholeNumber(*period, Member(path, "irRepeatPeriod"), 0xFFFF));
    const std::string resistancePath = Member(path, "defaultResistance");
    const auto [ra, rb] = Fields(*resistance, kResistanceKeys, resistancePath);
    s.defaultResistors = ResistanceCode(*ra, *rb, resistancePath);
    return s;
}

}  // namespace

JsonValue RowJson(std::uint32_t table, const ActionFields& f) {
    std::vector<std::pair<std::string, JsonValue>> members = {
        {"button", JsonString(Hex(f.button, ButtonDigits(table)))},
        {"irCode", JsonString(Hex(f.irCode, 8))},
        {"lines", BitNames(f.lines, kLineNames)},
        {"flags", BitNames(f.flags, kFlagNames)},
    };
    for (auto& member : ResistanceJson(f.resistors).members) members.push_back(std::move(member));
    return JsonObject(std::move(members));
}

std::pair<std::string, JsonValue> SettingJson(const ModuleSettings& s, Setting setting) {
    const auto* found = std::find(std::begin(kJsonSettings), std::end(kJsonSettings), setting);
    const char* key = kSettingKeys[found - std::begin(kJsonSettings)];
    switch (setting) {
    case Setting::IrFullRepeat:
        return {key, s.irFullRepeat <= 1 ? JsonBoolean(s.irFullRepeat == 1) : JsonNumber(s.irFullRepeat)};
    case Setting::DefaultResistance: return {key, ResistanceJson(s.defaultResistors)};
    case Setting::MaxBrightness:
        if (s.maxBrightness <= kBrightnessPercentMax) break;
        return {key, JsonString(std::to_string(s.maxBrightness) + kAboveTheRange)};
    case Setting::IrRepeatPeriod: break;
    }
    return {key, JsonNumber(SettingValue(s, setting))};
}

JsonValue SettingsJson(const ModuleSettings& settings) {
    JsonValue object = JsonObject({});
    for (Setting setting : kJsonSettings) object.members.push_back(SettingJson(settings, setting));
    return object;
}

JsonValue ConfigJson(const ModuleConfig& config) {
    JsonValue document = JsonObject({{"settings", SettingsJson(config.settings)}});
    ForEachTable(config, [&](const TableInfo& info, const auto& rows) {
        JsonValue table = JsonArray({});
        for (const auto& record : rows) table.items.push_back(RowJson(info.id, FieldsOf(record)));
        document.members.emplace_back(info.key, std::move(table));
    });
    return document;
}

std::string EncodeConfigJson(const ModuleConfig& config) { return WriteJson(ConfigJson(config)); }

std::optional<std::string> DecodeConfigJson(std::string_view text, ModuleConfig& out) {
    JsonValue document;
    if (auto error = ParseJson(text, document)) return error;
    ModuleConfig read;
    try {
        const auto fields = Fields(document, kDocumentKeys, "");
        read.settings = SettingsFrom(*fields[0], "settings");
        std::size_t next = 1;
        ForEachTable(read, [&](const TableInfo& info, auto& rows) { TableFrom(*fields[next++], info.key, rows); });
    } catch (const Refusal& refusal) {
        return refusal.text;
    }
    out = std::move(read);
    return std::nullopt;
}
