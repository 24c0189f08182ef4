#pragma once
// Little-endian integers in byte blocks: the order of every multi-byte field
// on the wire, in records and in .cfg files.

#include <cstddef>
#include <cstdint>

// The `width`-byte unsigned integer starting at `bytes`, low byte first.
inline std::uint32_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// Writes the low `width` bytes of `value` at `bytes`, low byte first.
inline void StoreLittleEndian(std::uint8_t* bytes, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
