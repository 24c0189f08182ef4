// Record bytes, cell texts and the automatic-base number reading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/auto_base.h"
#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "actions/records.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class R>
Bytes BytesOf(const R& r) {
    return Bytes(r.bytes.begin(), r.bytes.end());
}

TEST(Records, FieldsGoToTheirLittleEndianOffsets) {
    ActionFields f{.button = 0x15, .irCode = 0x11223344, .lines = 0x81, .flags = 0x09, .resistors = 0x8004};
    EXPECT_EQ(BytesOf(MakeRecord<MediaAction>(f)), (Bytes{0x15, 0x44, 0x33, 0x22, 0x11, 0x81, 0x09, 0x04, 0x80}));
    EXPECT_EQ(BytesOf(MakeRecord<GearAction>(f)), BytesOf(MakeRecord<MediaAction>(f)));
    EXPECT_EQ(BytesOf(MakeRecord<HornAction>(f)), BytesOf(MakeRecord<MediaAction>(f)));
    f.button = 0x0100;
    EXPECT_EQ(BytesOf(MakeRecord<AccAction>(f)), (Bytes{0x00, 0x01, 0x44, 0x33, 0x22, 0x11, 0x81, 0x09, 0x04, 0x80}));
    EXPECT_EQ(sizeof(MediaAction), 9u);
    EXPECT_EQ(sizeof(AccAction), 10u);
}

TEST(Records, FieldsReadBackEveryBit) {
    AccAction acc;
    for (std::size_t i = 0; i < acc.bytes.size(); ++i) acc.bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
    ActionFields f = FieldsOf(acc);
    EXPECT_EQ(f.button, 0xF1F0);
    EXPECT_EQ(f.irCode, 0xF5F4F3F2u);
    EXPECT_EQ(f.lines, 0xF6);
    EXPECT_EQ(f.flags, 0xF7);
    EXPECT_EQ(f.resistors, 0xF9F8);
    EXPECT_EQ(MakeRecord<AccAction>(f), acc);
    MediaAction media;
    for (std::size_t i = 0; i < media.bytes.size(); ++i) media.bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    EXPECT_EQ(FieldsOf(media).button, 0xA0);
    EXPECT_EQ(MakeRecord<MediaAction>(FieldsOf(media)), media);
}

struct FormatButtonCase {
    std::uint32_t table;
    std::uint16_t code;
    std::wstring text;
};

TEST(CellText, FormatButton) {
    const FormatButtonCase cases[] = {
        {Media, 0x15, L"Next (0x15)"},
        {Media, 0x0C, L"Mode (0x0C)"},
        {Media, 0x03, L"Prev. Scr. (0x03)"},
        {Media, 0x00, L" (0x00)"},
        {Media, 0x30, L"0x30"},
        {Media, 0xFF, L"0xFF"},
        {Gears, 0x00, L" (0x00)"},
        {Gears, 0x1C, L"0x1C"},
        {Horn, 0x01, L" Horn  (0x01)"},
        {Horn, 0x02, L"0x02"},
        {Acc, 0x0100, L"Set (0x0100)"},
        {Acc, 0x0080, L"Mode (0x0080)"},
        {Acc, 0x0000, L" (0x0000)"},
        {Acc, 0x0040, L"0x0040"},
        {Acc, 0xFFFF, L"0xFFFF"},
        {7, 0x05, L"0x05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "table " << c.table << " code " << c.code);
        EXPECT_EQ(FormatButton(c.table, c.code), c.text);
    }
}

struct ParseButtonCase {
    std::uint32_t table;
    std::wstring text;
    bool ok;
    std::uint32_t code;
};

TEST(CellText, ParseButton) {
    const ParseButtonCase cases[] = {
        {Media, L"Next", true, 0x15},
        {Media, L"Next (0x15)", true, 0x15},
        {Media, L"Next (0x16)", true, 0x16},  // not the entry's text: the number in parentheses
        {Media, L"abc (0x2A)", true, 0x2A},
        {Media, L"(42)", true, 42},
        {Media, L"0x2A", true, 0x2A},
        {Media, L"052", true, 42},
        {Media, L"42abc", true, 42},
        {Media, L"", true, 0},
        {Media, L" (0x00)", true, 0},
        {Media, L"next", false, 0},
        {Media, L"Next ", false, 0},
        {Media, L"x (1) (2)", true, 2},
        {Media, L"(2) x (", false, 0},
        {Media, L"(abc) 7", false, 0},
        {Media, L"7 (abc)", true, 7},
        {Media, L"( 12 apples)", true, 12},
        {Media, L"(-1)", true, 4294967295u},
        {Media, L"(99999999999)", true, 4294967295u},
        {Media, L"(0x)", true, 0},
        {Media, L"Mode", true, 0x0C},
        {Acc, L"Mode", true, 0x0080},
        {Acc, L"Set (0x0100)", true, 0x0100},
        {Acc, L"Set (0x100)", true, 0x0100},
        {Acc, L"0x40", true, 0x40},
        {Horn, L" Horn ", true, 1},
        {Horn, L" Horn  (0x01)", true, 1},
        {Horn, L"Horn", false, 0},
        {Gears, L"0x1C", true, 0x1C},
        {Gears, L"300", true, 300},  // the range is the caller's to check
        {7, L"Next", false, 0},
        {7, L"5", true, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "table " << c.table << " text [" << c.text << "]");
        std::uint32_t code = 0xDEADBEEF;
        EXPECT_EQ(ParseButton(c.table, c.text, code), c.ok);
        if (c.ok) {
            EXPECT_EQ(code, c.code);
        }
    }
}

TEST(CellText, EveryCatalogueEntryRoundTrips) {
    for (std::uint32_t table = 0; table < kTableCount; ++table) {
        for (const CodeName& entry : ButtonCatalogue(table)) {
            std::uint32_t code = 0xDEADBEEF;
            ASSERT_TRUE(ParseButton(table, FormatButton(table, entry.code), code));
            EXPECT_EQ(code, entry.code);
            ASSERT_TRUE(ParseButton(table, entry.name, code));
            EXPECT_EQ(code, entry.code);
        }
    }
}

TEST(CellText, HexFormats) {
    EXPECT_EQ(FormatIrCode(0), L"0x0");
    EXPECT_EQ(FormatIrCode(10), L"0xA");
    EXPECT_EQ(FormatIrCode(0xABC), L"0xABC");
    EXPECT_EQ(FormatIrCode(0x00FF0000), L"0xFF0000");
    EXPECT_EQ(FormatIrCode(0xFFFFFFFF), L"0xFFFFFFFF");
    EXPECT_EQ(FormatHex8(0), L"0x00");
    EXPECT_EQ(FormatHex8(10), L"0x0A");
    EXPECT_EQ(FormatHex8(0xFF), L"0xFF");
    EXPECT_EQ(FormatHex16(0), L"0x0000");
    EXPECT_EQ(FormatHex16(0x40), L"0x0040");
    EXPECT_EQ(FormatHex16(0x0201), L"0x0201");
    EXPECT_EQ(FormatHex16(0xFFFF), L"0xFFFF");
}

TEST(CellText, IsChecked) {
    EXPECT_TRUE(IsChecked(L"\u2714"));
    EXPECT_TRUE(IsChecked(L"1"));
    EXPECT_TRUE(IsChecked(CheckMark));
    for (const wchar_t* text : {L"", L"11", L" 1", L"1 ", L"x", L"0", L"\u2713", L"\u2714\u2714"})
        EXPECT_FALSE(IsChecked(text)) << "[" << text << "]";
}

TEST(CellText, ResistorNames) {
    const std::wstring ohm = L"\u2126";
    EXPECT_EQ(ResistorAName(0x0004), L"3.9 k" + ohm);
    EXPECT_EQ(ResistorAName(0x8004), L"3.9 k" + ohm) << "bit 15 belongs to RB";
    EXPECT_EQ(ResistorAName(0x4000), L"22 " + ohm);
    EXPECT_EQ(ResistorAName(0x2000), L"100 k" + ohm);
    EXPECT_EQ(ResistorAName(0x0003), L"") << "two bits are no catalogue code";
    EXPECT_EQ(ResistorAName(0x0000), L"");
    EXPECT_EQ(ResistorBName(0x8004), L"22 " + ohm);
    EXPECT_EQ(ResistorBName(0x7FFF), L"");

    std::uint16_t code = 0xFFFF;
    EXPECT_TRUE(ResistorACode(L"22 " + ohm, code));
    EXPECT_EQ(code, 0x4000);
    EXPECT_TRUE(ResistorBCode(L"22 " + ohm, code));
    EXPECT_EQ(code, 0x8000);
    EXPECT_TRUE(ResistorACode(L"", code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(ResistorACode(L"1.2 k" + ohm, code));
    EXPECT_EQ(code, 0x0001);
    EXPECT_FALSE(ResistorACode(L"22 \u03A9", code)) << "Greek omega is not the ohm sign";
    EXPECT_FALSE(ResistorACode(L"3.9k" + ohm, code));
    EXPECT_FALSE(ResistorBCode(L"3.9 k" + ohm, code));
    for (const CodeName& entry : ResistorsA) {
        std::uint16_t back = 0xFFFF;
        ASSERT_TRUE(ResistorACode(ResistorAName(entry.code), back));
        EXPECT_EQ(back, entry.code);
    }
}

struct AutoBaseCase {
    std::wstring text;
    bool valid;
    std::uint32_t value;
    std::size_t consumed;
};

TEST(AutoBase, ReadsLikeTheCLibrarysUnsignedLong) {
    const AutoBaseCase cases[] = {
        {L"42", true, 42, 2},
        {L"  42", true, 42, 4},
        {L"\t\n\v\f\r 7", true, 7, 7},
        {L"+42", true, 42, 3},
        {L"-1", true, 4294967295u, 2},
        {L"-0x10", true, 0xFFFFFFF0u, 5},
        {L" -0", true, 0, 3},
        {L"4294967295", true, 4294967295u, 10},
        {L"4294967296", true, 4294967295u, 10},
        {L"99999999999999999999", true, 4294967295u, 20},
        {L"-4294967295", true, 1, 11},
        {L"-4294967296", true, 4294967295u, 11},
        {L"0x100000000", true, 4294967295u, 11},
        {L"037777777777", true, 4294967295u, 12},
        {L"040000000000", true, 4294967295u, 12},
        {L"0x1F", true, 31, 4},
        {L"0X1f", true, 31, 4},
        {L"0x", true, 0, 1},
        {L"0xg", true, 0, 1},
        {L"-0x", true, 0, 2},
        {L"052", true, 42, 3},
        {L"08", true, 0, 1},
        {L"0", true, 0, 1},
        {L"42abc", true, 42, 2},
        {L"1e3", true, 1, 1},
        {L"", false, 0, 0},
        {L"   ", false, 0, 0},
        {L"-", false, 0, 0},
        {L"+ 5", false, 0, 0},
        {L"- 1", false, 0, 0},
        {L"abc", false, 0, 0},
        {L"x12", false, 0, 0},
        {L"\u0661", false, 0, 0},  // only ASCII digits count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.text << "]");
        AutoBaseNumber n = ParseAutoBase(c.text);
        EXPECT_EQ(n.valid, c.valid);
        EXPECT_EQ(n.value, c.value);
        EXPECT_EQ(n.consumed, c.consumed);
    }
}

}  // namespace
