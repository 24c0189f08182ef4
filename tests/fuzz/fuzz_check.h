#pragma once
// A broken property aborts: libFuzzer saves the input as a finding, and the
// replayer's test fails. Built with KORVEL_REPLAY, a target gets a main that
// runs every file of the corpus directories given, in name order.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "device/module_config.h"

inline void FuzzCheck(bool holds, const char* file, int line, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}
#define FUZZ_CHECK(condition) FuzzCheck(static_cast<bool>(condition), __FILE__, __LINE__, #condition)

// What a reader holds before it reads a file: data no input in the corpus
// spells, so any change a refused input makes to it shows.
inline ModuleConfig HeldBefore() {
    ModuleConfig held{.media = std::vector<MediaAction>(1), .gears = std::vector<GearAction>(1), .horn = {},
                      .acc = std::vector<AccAction>(2), .settings = {42, 1, 750, 0x8004}};
    held.media[0].bytes.fill(0xA5);
    held.gears[0].bytes.fill(0xA5);
    return held;
}

#ifdef KORVEL_REPLAY
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::set<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) files.insert(entry.path());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu corpus inputs replayed\n", files.size());
    return files.empty() ? 1 : 0;
}
#endif
