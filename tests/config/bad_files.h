#pragma once
// Files the reader must refuse, each with its status text, made from the bytes
// of a valid file that holds at least one Media record and nothing after.

#include <cstdint>
#include <vector>

struct BadFile {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const wchar_t* text;
};

inline std::vector<BadFile> BadConfigFiles(const std::vector<std::uint8_t>& valid) {
    using Bytes = std::vector<std::uint8_t>;
    const auto first = [&](std::size_t n) { return Bytes(valid.begin(), valid.begin() + static_cast<long>(n)); };
    const auto withHeader = [&](Bytes header) {
        header.insert(header.end(), valid.begin() + 8, valid.end());
        return header;
    };
    Bytes countTooLarge = valid;
    ++countTooLarge[8];  // one Media record more than the file holds
    Bytes fourBillion = first(8);
    fourBillion.insert(fourBillion.end(), {0, 0, 0, 0, 0x00, 0x28, 0x6B, 0xEE});  // Gears count 4000000000
    fourBillion.resize(40, 0);
    return {
        {"empty file", {}, L"Failed to read config header"},
        {"magic only", first(4), L"Failed to read config header"},
        {"7 bytes", first(7), L"Failed to read config header"},
        {"8 bytes, header only", first(8), L"Failed while reading config"},
        {"wrong-endian magic", withHeader({0x4E, 0x59, 0x41, 0x7E, 2, 0, 0, 0}), L"Invalid config file"},
        {"short file with a bad magic", {0x12, 0x34, 0x56, 0x78, 2, 0, 0, 0}, L"Invalid config file"},
        {"magic is tested before version", withHeader({0x12, 0x34, 0x56, 0x78, 3, 0, 0, 0}), L"Invalid config file"},
        {"version 1", withHeader({0x7E, 0x41, 0x59, 0x4E, 1, 0, 0, 0}), L"Unsupported config version"},
        {"version 3", withHeader({0x7E, 0x41, 0x59, 0x4E, 3, 0, 0, 0}), L"Unsupported config version"},
        {"count larger than the records present", countTooLarge, L"Failed while reading config"},
        {"4 billion Gears records in 40 bytes", fourBillion, L"Failed while reading config"},
        {"last setting byte missing", first(valid.size() - 1), L"Failed while reading config"},
    };
}
