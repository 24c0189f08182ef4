// The replayer that turns a fuzz target into an ordinary test: every file of
// the corpus directories given on the command line, then a fixed number of
// mutants of each (bit flips, cuts, inserted and repeated bytes) from a fixed
// seed, so that every run checks the same few thousand inputs.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int kMutantsPerInput = 24;

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> mutate(std::vector<std::uint8_t> bytes, std::mt19937& random) {
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(random); };
    for (int step = 1 + static_cast<int>(pick(3)); step > 0; --step) {
        switch (pick(3)) {
        case 0:
            if (!bytes.empty()) bytes[pick(bytes.size() - 1)] ^= static_cast<std::uint8_t>(1u << pick(7));
            break;
        case 1: bytes.resize(pick(bytes.size())); break;
        case 2:
            bytes.insert(bytes.begin() + static_cast<long>(pick(bytes.size())), static_cast<std::uint8_t>(random()));
            break;
        default:
            if (!bytes.empty()) bytes.push_back(bytes[pick(bytes.size() - 1)]);
        }
    }
    return bytes;
}

void run(const std::vector<std::uint8_t>& bytes) { LLVMFuzzerTestOneInput(bytes.data(), bytes.size()); }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) files.push_back(entry.path());
        } else {
            files.emplace_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fputs("no corpus inputs given\n", stderr);
        return 1;
    }
    std::mt19937 random(20261206);
    for (const auto& file : files) {
        const auto bytes = readFile(file);
        run(bytes);
        for (int i = 0; i < kMutantsPerInput; ++i) run(mutate(bytes, random));
    }
    std::printf("%zu corpus inputs and %zu mutants replayed\n", files.size(), files.size() * kMutantsPerInput);
    return 0;
}
