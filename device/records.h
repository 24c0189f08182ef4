#pragma once
// The four action records: packed little-endian byte blocks, the same bytes on
// the wire, in memory and in .cfg files. Records are copied whole; the field
// accessors below read and build them without touching any other byte.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/little_endian.h"

// The number of an action table, equal to its tab index.
enum ActionTable : std::uint32_t { Media = 0, Gears = 1, Horn = 2, Acc = 3 };
constexpr std::uint32_t kTableCount = 4;

// Offsets shared by every record, relative to the end of the button field.
//   button (1 or 2) | irCode u32 | lines u8 | flags u8 | resistors u16
template <std::size_t ButtonBytes>
struct ActionRecord {
    static constexpr std::size_t kButtonBytes = ButtonBytes;
    static constexpr std::size_t kSize = ButtonBytes + 8;
    std::array<std::uint8_t, kSize> bytes{};
    bool operator==(const ActionRecord&) const = default;
};

// Each record type knows the table that holds it.
struct MediaAction : ActionRecord<1> { static constexpr ActionTable kTable = Media; };
struct GearAction : ActionRecord<1> { static constexpr ActionTable kTable = Gears; };
struct HornAction : ActionRecord<1> { static constexpr ActionTable kTable = Horn; };
struct AccAction : ActionRecord<2> { static constexpr ActionTable kTable = Acc; };

// The fields of any record, widened.
struct ActionFields {
    std::uint16_t button = 0;
    std::uint32_t irCode = 0;
    std::uint8_t lines = 0;      // bit 0 L1 .. bit 3 L4, bit 4 H1 .. bit 7 H4
    std::uint8_t flags = 0;      // bit 0 Toggle, 1 Invert, 2 Store, 3 Repeat
    std::uint16_t resistors = 0; // bits 0-14 RA code, bit 15 RB code
    bool operator==(const ActionFields&) const = default;
};

constexpr std::uint8_t kFlagToggle = 0x01;
constexpr std::uint8_t kFlagInvert = 0x02;
constexpr std::uint8_t kFlagStore = 0x04;
constexpr std::uint8_t kFlagRepeat = 0x08;

template <class R>
ActionFields FieldsOf(const R& r) {
    constexpr std::size_t b = R::kButtonBytes;
    const auto& x = r.bytes;
    ActionFields f;
    f.button = static_cast<std::uint16_t>(LoadLittleEndian(&x[0], b));
    f.irCode = LoadLittleEndian(&x[b], 4);
    f.lines = x[b + 4];
    f.flags = x[b + 5];
    f.resistors = static_cast<std::uint16_t>(LoadLittleEndian(&x[b + 6], 2));
    return f;
}

template <class R>
R MakeRecord(const ActionFields& f) {
    constexpr std::size_t b = R::kButtonBytes;
    R r;
    auto& x = r.bytes;
    StoreLittleEndian(&x[0], f.button, b);
    StoreLittleEndian(&x[b], f.irCode, 4);
    x[b + 4] = f.lines;
    x[b + 5] = f.flags;
    StoreLittleEndian(&x[b + 6], f.resistors, 2);
    return r;
}
