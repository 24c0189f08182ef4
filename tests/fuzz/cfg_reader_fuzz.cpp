// libFuzzer target and corpus replayer: the .cfg reader on any bytes. A load
// either succeeds or gives the failure the file's own sizes call for, with the
// held data untouched; decode -> encode gives the file's bytes back up to its
// last field, and decode -> encode -> decode the same configuration, through
// the JSON form too.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/cfg_codec.h"
#include "config/config_json.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::uint64_t u32At(const std::vector<std::uint8_t>& b, std::uint64_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint64_t{b[at + 3]} << 24;
}

// The outcome the layout decides, walked in 64 bits so that no count wraps.
std::optional<FileFault> expectedFailure(const std::vector<std::uint8_t>& b) {
    if (b.size() < 8) return FileFault::NoHeader;
    if (u32At(b, 0) != CONFIG_MAGIC) return FileFault::BadMagic;
    if (u32At(b, 4) != CONFIG_VERSION) return FileFault::BadVersion;
    std::uint64_t at = 8;
    for (std::uint64_t recordSize : {9, 9, 9, 10}) {
        if (at + 4 > b.size()) return FileFault::ShortBody;
        at += 4 + u32At(b, at) * recordSize;
    }
    if (at + 6 > b.size()) return FileFault::ShortBody;
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    ModuleConfig held = HeldBefore();
    const auto failure = DecodeConfig(bytes, held);
    const auto expected = expectedFailure(bytes);
    FUZZ_CHECK(failure == expected);
    if (failure) {
        FUZZ_CHECK(held == HeldBefore());
        return 0;
    }

    // The file's own bytes come back up to its last field.
    const auto encoded = EncodeConfig(held);
    FUZZ_CHECK(encoded.size() == EncodedConfigSize(held) && encoded.size() <= size);
    FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), bytes.begin()));

    ModuleConfig again;
    FUZZ_CHECK(!DecodeConfig(encoded, again) && again == held);

    // .cfg -> JSON -> .cfg: every byte has a spelling.
    ModuleConfig fromJson;
    FUZZ_CHECK(!DecodeConfigJson(EncodeConfigJson(held), fromJson) && EncodeConfig(fromJson) == encoded);
    return 0;
}
