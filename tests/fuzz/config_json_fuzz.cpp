// libFuzzer target and corpus replayer: the JSON configuration reader on any
// bytes. A refusal is one line of UTF-8 and leaves the configuration
// untouched; a document read is written back as one that reads the same and
// writes back the same text; any JSON value written reads back as itself.

#include <cstdint>
#include <string>
#include <string_view>

#include "config/config_json.h"
#include "config/json.h"
#include "device/text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    JsonValue value;
    if (!ParseJson(text, value)) {
        const std::string written = WriteJson(value);
        JsonValue again;
        FUZZ_CHECK(!ParseJson(written, again) && WriteJson(again) == written);
    }

    ModuleConfig config = HeldBefore();
    if (const auto refusal = DecodeConfigJson(text, config)) {
        std::wstring wide;
        FUZZ_CHECK(!refusal->empty() && refusal->find('\n') == std::string::npos && FromUtf8(*refusal, wide));
        FUZZ_CHECK(config == HeldBefore());
        return 0;
    }
    const std::string written = EncodeConfigJson(config);
    ModuleConfig again;
    FUZZ_CHECK(!DecodeConfigJson(written, again) && again == config);
    FUZZ_CHECK(EncodeConfigJson(again) == written);
    return 0;
}
