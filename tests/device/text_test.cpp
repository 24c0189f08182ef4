// Record bytes, cell texts, resistor names as typed and the widening of port
// names. The automatic-base number reading is checked against the C library
// by tests/fuzz/cell_number_fuzz.cpp, its edge cases in the corpus.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "device/port_info.h"
#include "device/records.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"
#include "vocabulary/resistor_names.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::wstring kOhm = L"\u2126";

template <class R>
Bytes BytesOf(const R& r) { return Bytes(r.bytes.begin(), r.bytes.end()); }

template <class R>
R Counting(std::uint8_t first) {
    R r;
    for (std::size_t i = 0; i < R::kSize; ++i) r.bytes[i] = static_cast<std::uint8_t>(first + i);
    return r;
}

TEST(Records, FieldsSitLittleEndianAtTheirOffsetsAndReadBackEveryBit) {
    ActionFields f{.button = 0x15, .irCode = 0x11223344, .lines = 0x81, .flags = 0x09, .resistors = 0x8004};
    EXPECT_EQ(BytesOf(MakeRecord<MediaAction>(f)), (Bytes{0x15, 0x44, 0x33, 0x22, 0x11, 0x81, 0x09, 0x04, 0x80}));
    f.button = 0x0100;
    EXPECT_EQ(BytesOf(MakeRecord<AccAction>(f)), (Bytes{0x00, 0x01, 0x44, 0x33, 0x22, 0x11, 0x81, 0x09, 0x04, 0x80}));
    const auto acc = Counting<AccAction>(0xF0);
    const auto media = Counting<MediaAction>(0xA0);
    EXPECT_EQ(FieldsOf(acc), (ActionFields{0xF1F0, 0xF5F4F3F2, 0xF6, 0xF7, 0xF9F8}));
    EXPECT_EQ(FieldsOf(media), (ActionFields{0xA0, 0xA4A3A2A1, 0xA5, 0xA6, 0xA8A7}));
    EXPECT_EQ(MakeRecord<AccAction>(FieldsOf(acc)), acc);
    EXPECT_EQ(MakeRecord<MediaAction>(FieldsOf(media)), media);
}

TEST(CellText, FormatButton) {
    const struct { std::uint32_t table; std::uint16_t code; std::wstring text; } rows[] = {
        {Media, 0x15, L"Next (0x15)"}, {Media, 0x03, L"Prev. Scr. (0x03)"}, {Media, 0x00, L" (0x00)"},
        {Media, 0x30, L"0x30"},        {Gears, 0x00, L" (0x00)"},           {Gears, 0x1C, L"0x1C"},
        {Horn, 0x01, L" Horn  (0x01)"}, {Horn, 0x02, L"0x02"},              {Acc, 0x0100, L"Set (0x0100)"},
        {Acc, 0x0000, L" (0x0000)"},   {Acc, 0x0040, L"0x0040"},            {7, 0x05, L"0x05"},
    };
    for (const auto& r : rows) EXPECT_EQ(FormatButton(r.table, r.code), r.text) << r.table << " " << r.code;
}

TEST(CellText, ParseButton) {
    const struct { std::uint32_t table; std::wstring text; bool ok; std::uint32_t code; } rows[] = {
        {Media, L"Next", true, 0x15},       {Media, L"(42)", true, 42},         {Media, L"0x2A", true, 0x2A},
        {Media, L"Next (0x16)", true, 0x16},  // the number in parentheses wins over the name
        {Media, L"42abc", true, 42},        {Media, L"", true, 0},              {Media, L"next", false, 0},
        {Media, L"Next ", false, 0},        {Media, L"x (1) (2)", true, 2},     {Media, L"(2) x (", false, 0},
        {Media, L"(abc) 7", false, 0},      {Media, L"7 (abc)", true, 7},       {Media, L"( 12 apples)", true, 12},
        {Media, L"(-1)", true, 4294967295u}, {Media, L"(0x)", true, 0},         {Acc, L"Mode", true, 0x0080},
        {Acc, L"Set (0x100)", true, 0x0100}, {Horn, L" Horn ", true, 1},        {Horn, L"Horn", false, 0},
        {Gears, L"300", true, 300},  // the range is the caller's to check
        {7, L"Next", false, 0},             {7, L"5", true, 5},
    };
    for (const auto& r : rows) {
        std::uint32_t code = 0xDEADBEEF;
        EXPECT_EQ(ParseButton(r.table, r.text, code), r.ok) << r.table << " [" << r.text << "]";
        EXPECT_TRUE(!r.ok || code == r.code) << r.table << " [" << r.text << "] " << code;
    }
    for (std::uint32_t table = 0; table < kTableCount; ++table)
        for (const CodeName& entry : ButtonCatalogue(table))
            for (const std::wstring& text : {FormatButton(table, entry.code), std::wstring(entry.name)}) {
                std::uint32_t code = 0xDEADBEEF;
                EXPECT_TRUE(ParseButton(table, text, code) && code == entry.code) << table << " [" << text << "]";
            }
}

// The hexadecimal forms show in the live displays, the cells and korvelctl's lines, and are checked there.
TEST(CellText, CheckMarks) {
    const std::pair<std::wstring, bool> marks[] = {
        {L"\u2714", true}, {L"1", true},        {L"", false}, {L"11", false},           {L" 1", false},
        {L"1 ", false},    {L"0", false},       {L"x", false}, {L"\u2713", false},      {L"\u2714\u2714", false},
    };
    for (const auto& [text, checked] : marks) EXPECT_EQ(IsChecked(text), checked) << "[" << text << "]";
}

TEST(CellText, ResistorNamesAndCodes) {
    const struct { std::uint16_t resistors; std::wstring a, b; } names[] = {
        {0x0004, L"3.9 k" + kOhm, L""}, {0x8004, L"3.9 k" + kOhm, L"22 " + kOhm}, {0x4000, L"22 " + kOhm, L""},
        {0x2000, L"100 k" + kOhm, L""}, {0x0003, L"", L""},  {0xFFFF, L"", L"22 " + kOhm},
    };
    for (const auto& r : names) {
        EXPECT_EQ(ResistorAName(r.resistors), r.a) << r.resistors;
        EXPECT_EQ(ResistorBName(r.resistors), r.b) << r.resistors;
    }
    const struct { bool b; std::wstring name; bool ok; std::uint16_t code; } codes[] = {
        {false, L"22 " + kOhm, true, 0x4000}, {true, L"22 " + kOhm, true, 0x8000}, {false, L"", true, 0},
        {false, L"1.2 k" + kOhm, true, 1},    {false, L"22 \u03A9", false, 0},   // Greek omega is not the ohm sign
        {false, L"3.9k" + kOhm, false, 0},    {true, L"3.9 k" + kOhm, false, 0},
    };
    for (const auto& r : codes) {
        std::uint16_t code = 0xFFFF;
        EXPECT_EQ((r.b ? ResistorBCode : ResistorACode)(r.name, code), r.ok) << "[" << r.name << "]";
        EXPECT_TRUE(!r.ok || code == r.code) << "[" << r.name << "] " << code;
    }
    for (const CodeName& entry : ResistorsA) {
        std::uint16_t back = 0xFFFF;
        EXPECT_TRUE(ResistorACode(ResistorAName(entry.code), back) && back == entry.code) << entry.code;
    }
}

// Typed names: the catalogue's, or the same value with the unit people can
// type or none, the space optional, the prefix for the decimal point; each
// output has its own catalogue.
TEST(ResistorNames, ReadLenientlyForEachOutput) {
    constexpr auto A = ResistorOutput::Ra, B = ResistorOutput::Rb;
    const std::optional<std::uint16_t> miss;
    const struct { ResistorOutput output; std::wstring text; std::optional<std::uint16_t> code; } rows[] = {
        {A, L"3.9 k" + kOhm, 0x0004},  {A, L"3.9k" + kOhm, 0x0004},     {A, L"3.9 kOhm", 0x0004},
        {A, L"3.9kohm", 0x0004},       {A, L"3.9 k\u03A9", 0x0004},     {A, L"100k\u03A9", 0x2000},
        {A, L"1.2 kohm", 0x0001},      {A, L"22 Ohm", 0x4000},          {A, L"22ohm", 0x4000},
        {B, L"22 Ohm", 0x8000},        {B, L"22" + kOhm, 0x8000},       {B, L"22 \u03A9", 0x8000},
        {A, L"none", 0},               {A, L"", 0},                     {B, L"none", 0},
        {B, L"", 0},                   {A, L"3.9k", 0x0004},            {A, L"3k9", 0x0004},
        {A, L"3.9 K", 0x0004},         {A, L"3900 " + kOhm, 0x0004},    {A, L"22", 0x4000},
        {B, L"22", 0x8000},            {A, L"12k", 0x0080},             {A, L"1k2ohm", 0x0001},
        {A, L"3.9", miss},             {A, L"3k", miss},                {A, L"k9", miss},
        {A, L"3k9k", miss},            {A, L"3.k", miss},               {A, L"0", miss},
        {A, L"3.9 kOHM", miss},        {A, L"3.9 kOhms", miss},         {A, L"1000000000022", miss},
        {A, L"3.9  kOhm", miss},       {A, L" 3.9 kOhm", miss},
        {A, L"3.9 kOhm ", miss},       {A, L"3.9 Ohm", miss},           {A, L"22 kOhm", miss},
        {A, L"None", miss},            {A, L"Ohm", miss},               {B, L"3.9 kOhm", miss},
        {B, L"22 kOhm", miss},         {A, L"3,9 kOhm", miss},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ReadResistorName(r.output, r.text), r.code) << (r.output == A ? "RA [" : "RB [") << r.text << "]";
    for (const auto& [output, catalogue] : {std::pair{A, std::span<const CodeName>(ResistorsA)}, {B, ResistorsB}})
        for (const CodeName& entry : catalogue) EXPECT_EQ(ReadResistorName(output, entry.name), entry.code) << entry.code;
}

TEST(Ports, ToWideReadsUtf8AndFallsBackToOneCharacterPerByte) {
    const std::pair<std::string, std::wstring> rows[] = {
        {"", L""}, {"Adapt\xC3\xA9 (COM4)", L"Adapt\u00E9 (COM4)"}, {"Adapt\xE9 (COM4)", L"Adapt\u00E9 (COM4)"},
        {"\xE2\x84\xA6", L"\u2126"},
    };
    for (const auto& [bytes, wide] : rows) EXPECT_EQ(toWide(bytes), wide);
}

}  // namespace
