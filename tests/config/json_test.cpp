// The JSON form of a configuration: its exact shape, what the reader accepts
// besides its own output, and every refusal with its path and reason;
// configuration files in either form, chosen by the name. Every Ω typed in
// this file is U+2126 OHM SIGN, the sign of the catalogues.
#include <fstream>
#include <string>
#include <vector>

#include "app/status_words.h"
#include "config/cfg_codec.h"
#include "config/config_document.h"
#include "config/config_json.h"
#include "config/json.h"
#include "tests/scratch.h"

namespace {

// Four Media rows, one Gears row with the flag bits that have no column and
// an RA value no catalogue entry has, no Horn rows, two ACC rows.
ModuleConfig Sample() {
    ModuleConfig c;
    c.settings = {80, 0, 100, 0x8004};
    c.media = {MakeRecord<MediaAction>({0x15, 0x11223344, 0x81, 0x09, 0x8008}),
               MakeRecord<MediaAction>({0x16, 0, 0, 0, 0}), MakeRecord<MediaAction>({0x19, 0xA, 0x02, 0x02, 0x0001}),
               MakeRecord<MediaAction>({0x1C, 0xFFFFFFFF, 0xFF, 0x0F, 0x4000})};
    c.gears = {MakeRecord<GearAction>({0x2A, 0x1, 0x10, 0xF0, 0x0003})};
    c.acc = {MakeRecord<AccAction>({0x0100, 0xABCDEF, 0, 0, 0x2000}),
             MakeRecord<AccAction>({0x0010, 0x2, 0x40, 0x04, 0x8000})};
    return c;
}

const std::string kSampleJson = R"({
  "settings": {
    "maxBrightness": 80,
    "irFullRepeat": false,
    "irRepeatPeriod": 100,
    "defaultResistance": {"ra": "3.9 kΩ", "rb": "22 Ω"}
  },
  "media": [
    {"button": "0x15", "irCode": "0x11223344", "lines": ["L1", "H4"], "flags": ["Toggle", "Repeat"], "ra": "4.7 kΩ", "rb": "22 Ω"},
    {"button": "0x16", "irCode": "0x00000000", "lines": [], "flags": [], "ra": "none", "rb": "none"},
    {"button": "0x19", "irCode": "0x0000000A", "lines": ["L2"], "flags": ["Invert"], "ra": "1.2 kΩ", "rb": "none"},
    {"button": "0x1C", "irCode": "0xFFFFFFFF", "lines": ["L1", "L2", "L3", "L4", "H1", "H2", "H3", "H4"], "flags": ["Toggle", "Invert", "Store", "Repeat"], "ra": "22 Ω", "rb": "none"}
  ],
  "gears": [
    {"button": "0x2A", "irCode": "0x00000001", "lines": ["H1"], "flags": ["bit4", "bit5", "bit6", "bit7"], "ra": "0x0003", "rb": "none"}
  ],
  "horn": [],
  "acc": [
    {"button": "0x0100", "irCode": "0x00ABCDEF", "lines": [], "flags": [], "ra": "100 kΩ", "rb": "none"},
    {"button": "0x0010", "irCode": "0x00000002", "lines": ["H3"], "flags": ["Store"], "ra": "none", "rb": "22 Ω"}
  ]
}
)";

// What a refused document leaves alone.
ModuleConfig Sentinel() {
    ModuleConfig c;
    c.horn = {MakeRecord<HornAction>({0x01, 0x5A5A5A5A, 0x5A, 0x5A, 0x5A5A})};
    c.settings = {42, 1, 750, 0x8004};
    return c;
}

// `text` with its one occurrence of `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from << " occurs more than once";
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(Json, SyntaxErrorsSayWhereAndWhy) {
    const std::pair<std::string, std::string> documents[] = {
        {"", "line 1, column 1: unexpected end of file"}, {"{", "line 1, column 2: unexpected end of file"},
        {R"({"a": [1, 2)", "line 1, column 12: unexpected end of file"}, {"[1,]", "line 1, column 4: expected a value"},
        {R"({"a": "b)", "line 1, column 9: unexpected end of file"}, {"+1", "line 1, column 1: expected a value"},
        {R"({"a": tru})", "line 1, column 7: expected a value"}, {R"({"a" 1})", "line 1, column 6: expected ':'"},
        {"{'a': 1}", "line 1, column 2: expected a key in quotes or '}'"},
        {R"({"a": 1,})", "line 1, column 9: expected a key in quotes"}, {"1e+", "line 1, column 4: invalid number"},
        {"{} x", "line 1, column 4: unexpected text after the document"},
        {"01", "line 1, column 2: invalid number: a leading zero"}, {"[1 2]", "line 1, column 4: expected ',' or ']'"},
        {"\"a\nb\"", "line 1, column 3: a control character in a string (write it as an escape)"},
        {R"("\x")", "line 1, column 2: invalid escape"}, {R"("\u12G4")", "line 1, column 2: invalid escape"},
        {R"("ab\udc00")", "line 1, column 4: invalid escape: a lone surrogate"},
        {R"("\ud800")", "line 1, column 2: invalid escape: a lone surrogate"},
        {R"("\ud800\u0041")", "line 1, column 2: invalid escape: a lone surrogate"},
        {"\"\xC3\"", "line 1, column 2: invalid UTF-8"},
        {"\"\xC0\xAF\"", "line 1, column 2: invalid UTF-8"},          // an overlong '/'
        {"\"\xED\xA0\x80\"", "line 1, column 2: invalid UTF-8"},      // a surrogate
        {"\"\xF4\x90\x80\x80\"", "line 1, column 2: invalid UTF-8"},  // beyond U+10FFFF
        {"{\r\n  \"\u2126\u2126\": x}", "line 2, column 9: expected a value"},  // columns count characters
        {"\xEF\xBB\xBF{x", "line 1, column 2: expected a key in quotes or '}'"},
        {R"({"a": 1, "b": 2, "a": 3})", R"(line 1, column 18: duplicate key "a")"},
        {std::string(65, '[') + std::string(65, ']'), "line 1, column 65: nested more than 64 levels deep"},
    };
    for (const auto& [text, reason] : documents) {
        JsonValue value = JsonString("untouched");
        EXPECT_EQ(ParseJson(text, value), reason) << text;
        EXPECT_EQ(value.text, "untouched") << text;
    }
    JsonValue deepest;
    EXPECT_EQ(ParseJson(std::string(64, '[') + std::string(64, ']'), deepest), std::nullopt);
}

// Escapes read into UTF-8, and every text written back so that it reads the
// same: control characters and characters beyond U+FFFF escaped.
TEST(Json, StringsKeepEveryCharacter) {
    JsonValue value;
    ASSERT_EQ(ParseJson(R"("\"\\\/\b\f\n\r\t\u0041\u00e9\u2126\ud83d\ude00")", value), std::nullopt);
    EXPECT_EQ(value.text, "\"\\/\b\f\n\r\tA\xC3\xA9\xE2\x84\xA6\xF0\x9F\x98\x80");
    EXPECT_EQ(QuoteJson(value.text), R"("\"\\/\b\f\n\r\tAé)" "\xE2\x84\xA6" R"(\uD83D\uDE00")");
    std::string every;
    for (int c = 1; c < 0x80; ++c) every += static_cast<char>(c);
    every += "\xC3\xA9\xE2\x84\xA6\xF0\x9F\x98\x80";
    JsonValue back;
    ASSERT_EQ(ParseJson(QuoteJson(every), back), std::nullopt);
    EXPECT_EQ(back.text, every);
    EXPECT_EQ(QuoteJson("\x01\x1F\x7F"), R"("\u0001\u001F)" "\x7F\"");
}

TEST(ConfigJson, WritesSettingsByNameAndOneRowPerLine) {
    EXPECT_EQ(EncodeConfigJson(Sample()), kSampleJson);
    // A full repeat other than 0 or 1 as its number; a brightness above 100 so that a reader sees it.
    const struct { std::uint8_t byte; std::string repeat, brightness; } values[] = {
        {0, "false", "0"}, {1, "true", "1"}, {2, "2", "2"}, {100, "100", "100"},
        {101, "101", "\"101 (above 100)\""}, {255, "255", "\"255 (above 100)\""}};
    for (const auto& [byte, repeat, brightness] : values) {
        ModuleConfig c;
        c.settings.irFullRepeat = c.settings.maxBrightness = byte;
        EXPECT_EQ(EncodeConfigJson(c), "{\n  \"settings\": {\n    \"maxBrightness\": " + brightness +
                                           ",\n    \"irFullRepeat\": " + repeat + ",\n    \"irRepeatPeriod\": 0,\n"
                                           "    \"defaultResistance\": {\"ra\": \"none\", \"rb\": \"none\"}\n  },\n"
                                           "  \"media\": [],\n  \"gears\": [],\n  \"horn\": [],\n  \"acc\": []\n}\n");
    }
}

TEST(ConfigJson, ReadsWhatPeopleWriteByHand) {
    const std::pair<std::string, std::string> edits[] = {
        {R"("ra": "3.9 kΩ", "rb": "22 Ω"})", R"("rb": "22 Ohm", "ra": "3.9kohm"})"},
        {R"("ra": "0x0003")", R"("ra": "0X3")"}, {R"("ra": "none", "rb": "none"})", R"("ra": "", "rb": "0x0000"})"},
        {R"("ra": "none", "rb": "22 Ω"})", R"("ra": "0x0", "rb": "0x8000"})"},
        {R"("button": "0x15", "irCode": "0x11223344")", R"("irCode": "0x0011223344", "button": "0x15")"},
        {R"("button": "0x2A")", R"("button": "0x2a")"},         {R"("irFullRepeat": false)", R"("irFullRepeat": 0)"},
        {R"(["Toggle", "Repeat"])", R"(["Repeat", "Toggle"])"}, {"\"horn\": [],", "\"horn\": [ ],"},
        {"{\n  \"settings\"", "\xEF\xBB\xBF{\r\n\t\"settings\""},
        {R"("0x15")", R"("0x000000000000000000015")"},  // leading zeros are no wider a value
    };
    for (const auto& [from, to] : edits) {
        ModuleConfig read = Sentinel();
        EXPECT_EQ(DecodeConfigJson(Replaced(kSampleJson, from, to), read), std::nullopt) << to;
        EXPECT_EQ(read, Sample()) << to;
    }
}

TEST(ConfigJson, RefusesWithThePathAndTheReason) {
    const std::string ra = "none, 1.2 kΩ, 2.2 kΩ, 3.9 kΩ, 4.7 kΩ, 5.6 kΩ, 6.8 kΩ, 8.2 kΩ, 12 kΩ, 15 kΩ, 24 kΩ, 33 kΩ, "
                           "51 kΩ, 68 kΩ, 100 kΩ, 22 Ω";
    const std::string kNotBrightness = R"x(is neither a number from 0 to 100 nor one above it written as "150 (above 100)")x";
    const std::string ir = "media[0].irCode: ", resistance = R"("ra": "3.9 kΩ", "rb": "22 Ω"})";
    const struct { std::string from, to, reason; } edits[] = {
        {kSampleJson, "[]", "expected an object, found an array"},
        {R"("0x1C")", R"("0x1FF")", "media[3].button: 0x1FF is out of range 0x00 to 0xFF"},
        {R"("0x0100")", R"("0x10000")", "acc[0].button: 0x10000 is out of range 0x0000 to 0xFFFF"},
        {R"("0x11223344")", R"("0x111223344")", ir + "0x111223344 is out of range 0x00000000 to 0xFFFFFFFF"},
        {R"("0x11223344")", R"("0x1FFFFFFFFFFFFFFFFFFFF")",
         ir + "0x1FFFFFFFFFFFFFFFFFFFF is out of range 0x00000000 to 0xFFFFFFFF"},
        {R"("0x11223344")", R"("11223344")", ir + R"("11223344" is not a hexadecimal number starting with 0x)"},
        {R"("0x11223344")", R"("0x")", ir + R"("0x" is not a hexadecimal number starting with 0x)"},
        {R"("0x11223344")", R"("0x1122334G")", ir + R"("0x1122334G" is not a hexadecimal number starting with 0x)"},
        {R"("0x11223344")", "287454020", ir + "expected a hexadecimal string, found 287454020"},
        {R"("maxBrightness": 80,)", "", "settings.maxBrightness: missing"},
        {": 80,", ": 101,", "settings.maxBrightness: 101 is out of range 0 to 100"},
        {": 80,", ": -1,", "settings.maxBrightness: -1 is out of range 0 to 100"},
        {": 80,", ": 99999999999999999999999,",
         "settings.maxBrightness: 99999999999999999999999 is out of range 0 to 100"},
        {": 80,", ": 8e1,", "settings.maxBrightness: 8e1 is not a whole number"},
        {": 80,", R"(: "80",)", R"(settings.maxBrightness: "80" )" + kNotBrightness},
        {": 80,", R"x(: "100 (above 100)",)x", R"x(settings.maxBrightness: "100 (above 100)" )x" + kNotBrightness},
        {": 80,", R"x(: "256 (above 100)",)x", R"x(settings.maxBrightness: "256 (above 100)" )x" + kNotBrightness},
        {": 80,", R"x(: "150 (above 101)",)x", R"x(settings.maxBrightness: "150 (above 101)" )x" + kNotBrightness},
        {": 100,", ": 65536,", "settings.irRepeatPeriod: 65536 is out of range 0 to 65535"},
        {"false", R"("on")", R"(settings.irFullRepeat: expected true, false or a whole number, found "on")"},
        {"false", "256", "settings.irFullRepeat: 256 is out of range 0 to 255"},
        {resistance, R"("ra": "3.3k", "rb": "22 Ω"})", R"(settings.defaultResistance.ra: "3.3k" is not one of )" + ra},
        {resistance, R"("ra": "3.9 kΩ", "rb": "0x0001"})",
         "settings.defaultResistance.rb: 0x0001 is not 0x0000 or 0x8000"},
        {resistance, R"("ra": "3.9 kΩ", "rb": "3.9 kΩ"})",
         R"(settings.defaultResistance.rb: "3.9 kΩ" is not one of none, 22 Ω)"},
        {resistance, R"("ra": "3.9 kΩ"})", "settings.defaultResistance.rb: missing"},
        {resistance, R"("ra": "3.9 kΩ", "rb": "22 Ω", "rc": ""})", "settings.defaultResistance.rc: unknown key"},
        {resistance, R"("ra": 4, "rb": "22 Ω"})", "settings.defaultResistance.ra: expected a string, found 4"},
        {R"("0x0003")", R"("0x8000")", "gears[0].ra: 0x8000 is out of range 0x0000 to 0x7FFF"},
        {R"("0x0003")", R"("\ud83d\ude00")", R"(gears[0].ra: "\uD83D\uDE00" is not one of )" + ra},
        {R"("ra": "none", "rb": "none"})", R"("ra": "none"})", "media[1].rb: missing"},
        {R"({"button": "0x2A")", R"({"colour": "red", "button": "0x2A")", "gears[0].colour: unknown key"},
        {R"({"button": "0x2A")", R"({"co lour": "red", "button": "0x2A")", R"(gears[0]."co lour": unknown key)"},
        {R"(["Store"])", R"(["Sticky"])",
         R"(acc[1].flags: "Sticky" is not one of Toggle, Invert, Store, Repeat, bit4..bit7)"},
        {R"(["L1", "H4"])", R"(["L1", "L5"])", R"(media[0].lines: "L5" is not one of L1..L4, H1..H4)"},
        {R"(["L1", "H4"])", R"(["L1", "L1"])", R"(media[0].lines: "L1" is given twice)"},
        {R"(["L1", "H4"])", R"(["L1", 4])", "media[0].lines[1]: expected a name, found 4"},
        {R"(["L1", "H4"])", R"("L1, H4")", R"(media[0].lines: expected an array of names, found "L1, H4")"},
        {R"("lines": ["L1", "H4"], )", "", "media[0].lines: missing"},
        {R"("horn": [],)", "", "horn: missing"},
        {R"("horn": [])", R"("horn": {})", "horn: expected an array of rows, found an object"},
        {R"("horn": [])", R"("horn": [[]])", "horn[0]: expected an object, found an array"},
        {R"("horn": [])", R"("horn": [], "Horn": [])", "Horn: unknown key"},
        {": 80,", ": 80", "line 4, column 5: expected ',' or '}'"},  // as the parser says it
    };
    for (const auto& [from, to, reason] : edits) {
        ModuleConfig read = Sentinel();
        EXPECT_EQ(DecodeConfigJson(Replaced(kSampleJson, from, to), read), reason) << to;
        EXPECT_EQ(read, Sentinel()) << to;
    }
}

TEST(ConfigDocument, TheNameChoosesTheForm) {
    const std::pair<const wchar_t*, bool> names[] = {
        {L"a.json", true}, {L"b.JSON", true}, {L"c.Json", true}, {L"d.cfg.json", true}, {L"e.cfg", false},
        {L"f.json.cfg", false}, {L"g", false}, {L"h.jsonx", false}, {L"json", false}, {L"i.jso", false},
    };
    for (const auto& [name, json] : names) EXPECT_EQ(IsJsonFileName(name), json) << ToUtf8(name);
}

TEST(ConfigDocument, ARefusedFileSaysWhy) {
    Scratch tmp;
    const auto cfg = EncodeConfig(Sample());
    const struct { const char* name; std::string bytes; std::wstring text; } files[] = {
        {"bad-name.json", Replaced(kSampleJson, R"(3.9 kΩ", "rb": "22 Ω"})", R"(3.9 kΩ", "rb": "22 kΩ"})"),
         L"Invalid config file: settings.defaultResistance.rb: \"22 k\u2126\" is not one of none, 22 \u2126"},
        {"cfg-bytes.json", {cfg.begin(), cfg.end()}, L"Invalid config file: line 1, column 1: expected a value"},
        {"json-text.cfg", "{}", L"Failed to read config header"},
        {"missing.json", "", L"Failed to open file for loading"},
        {"missing.cfg", "", L"Failed to open file for loading"},
        {"folder.json", "", L"Failed to open file for loading"},
    };
    for (const auto& [name, bytes, text] : files) {
        const std::string_view kind(name);
        if (kind.starts_with("folder")) std::filesystem::create_directory(tmp.dir / name);
        else if (!kind.starts_with("missing")) std::ofstream(tmp.dir / name, std::ios::binary) << bytes;
        ModuleConfig read = Sentinel();
        EXPECT_EQ(StatusText(ReadConfigDocument(tmp.path(name), read)), text) << name;
        EXPECT_EQ(read, Sentinel()) << name;
    }
}

}  // namespace
