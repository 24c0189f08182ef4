// libFuzzer target and corpus replayer: the .cfg reader on any bytes. A load
// either succeeds or gives the failure text the file's own sizes call for,
// with the held data untouched; decode -> encode -> decode gives the same bytes.

#include <cstdint>
#include <vector>

#include "config/cfg_codec.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Held data that no file in the corpus spells, so any change to it shows.
ConfigData heldBefore() {
    ConfigData held;
    held.media.resize(1);
    held.media[0].bytes.fill(0xA5);
    held.acc.resize(2);
    held.settings = HeldSettings{42, true, 750, 0x8004};
    return held;
}

std::uint64_t u32At(const std::vector<std::uint8_t>& b, std::uint64_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint64_t{b[at + 3]} << 24;
}

// The outcome the layout decides, walked in 64 bits so that no count wraps.
const wchar_t* expectedFailure(const std::vector<std::uint8_t>& b) {
    if (b.size() < 8) return L"Failed to read config header";
    if (u32At(b, 0) != CONFIG_MAGIC) return L"Invalid config file";
    if (u32At(b, 4) != CONFIG_VERSION) return L"Unsupported config version";
    std::uint64_t at = 8;
    for (std::uint64_t recordSize : {9, 9, 9, 10}) {
        if (at + 4 > b.size()) return L"Failed while reading config";
        at += 4 + u32At(b, at) * recordSize;
    }
    return at + 6 > b.size() ? L"Failed while reading config" : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    ConfigData held = heldBefore();
    const auto failure = DecodeConfig(bytes, held);
    const wchar_t* expected = expectedFailure(bytes);
    if (failure) {
        FUZZ_CHECK(expected != nullptr && *failure == expected);
        FUZZ_CHECK(held == heldBefore());
        return 0;
    }
    FUZZ_CHECK(expected == nullptr);

    // The file's own bytes come back up to its last field, except that a
    // non-zero full-repeat byte (the fourth from the end) is saved as 1.
    const auto encoded = EncodeConfig(held);
    FUZZ_CHECK(encoded.size() == EncodedConfigSize(held) && encoded.size() <= size);
    std::vector<std::uint8_t> original(bytes.begin(), bytes.begin() + static_cast<long>(encoded.size()));
    original[original.size() - 4] = original[original.size() - 4] != 0;
    FUZZ_CHECK(encoded == original);

    ConfigData again;
    FUZZ_CHECK(!DecodeConfig(encoded, again) && again == held);
    return 0;
}
