// Configuration files in either form: the name chooses the form, both read
// back what was written, and a refused file says why in the status text.
#include <fstream>

#include "config/cfg_codec.h"
#include "config/config_document.h"
#include "tests/config/temp_dir.h"

namespace {

namespace fs = std::filesystem;

ModuleConfig Sample() {
    ModuleConfig c;
    c.media = {MakeRecord<MediaAction>({0x15, 0x11223344, 0x81, 0xF9, 0x8003})};
    c.acc = {MakeRecord<AccAction>({0x0100, 7, 0, 0, 0x4000})};
    c.settings = {200, 2, 65535, 0x0004};
    return c;
}

ModuleConfig Sentinel() {
    ModuleConfig c;
    c.gears.resize(3);
    c.settings = {42, 1, 750, 0x8004};
    return c;
}

TEST(ConfigDocument, TheNameChoosesTheForm) {
    const std::pair<const char*, bool> names[] = {
        {"a.json", true}, {"b.JSON", true}, {"c.Json", true}, {"d.cfg.json", true}, {"e.cfg", false},
        {"f.json.cfg", false}, {"g", false}, {"h.jsonx", false}, {"json", false}, {"i.jso", false},
    };
    TempDir tmp;
    for (const auto& [name, json] : names) {
        EXPECT_EQ(IsJsonFileName(tmp.path(name)), json) << name;
        EXPECT_EQ(StatusText(WriteConfigDocument(tmp.path(name), Sample())), L"Config saved successfully") << name;
        std::ifstream in(tmp.dir / name, std::ios::binary);
        EXPECT_EQ(in.get(), json ? '{' : 0x7E) << name;
        ModuleConfig back;
        EXPECT_TRUE(Succeeded(ReadConfigDocument(tmp.path(name), back))) << name;
        EXPECT_EQ(back, Sample()) << name;
    }
}

// Each file's status text when read; nothing read from any of them.
TEST(ConfigDocument, ARefusedFileSaysWhy) {
    TempDir tmp;
    const auto cfg = EncodeConfig(Sample());
    const std::string cfgBytes(cfg.begin(), cfg.end());
    const struct { const char* name; std::string bytes; std::wstring text; } files[] = {
        {"bad.json", R"({"settings": {}, "media": [], "gears": [], "horn": [], "acc": []})",
         L"Invalid config file: settings.maxBrightness: missing"},
        {"bad-name.json",
         R"({"settings": {"maxBrightness": 1, "irFullRepeat": true, "irRepeatPeriod": 1, )"
         R"("defaultResistance": {"ra": "", "rb": "22 k)" "\xE2\x84\xA6" R"("}}, "media": [], "gears": [], "horn": [], "acc": []})",
         L"Invalid config file: settings.defaultResistance.rb: \"22 k\u2126\" is not one of none, 22 \u2126"},
        {"cfg-bytes.json", cfgBytes, L"Invalid config file: line 1, column 1: expected a value"},
        {"empty.json", "", L"Invalid config file: line 1, column 1: unexpected end of file"},
        {"json-text.cfg", "{}", L"Failed to read config header"},
        {"missing.json", "", L"Failed to open file for loading"},
        {"missing.cfg", "", L"Failed to open file for loading"},
        {"folder.json", "", L"Failed to open file for loading"},
    };
    for (const auto& [name, bytes, text] : files) {
        if (std::string_view(name).starts_with("folder")) fs::create_directory(tmp.dir / name);
        else if (!std::string_view(name).starts_with("missing")) std::ofstream(tmp.dir / name, std::ios::binary) << bytes;
        ModuleConfig read = Sentinel();
        EXPECT_EQ(StatusText(ReadConfigDocument(tmp.path(name), read)), text) << name;
        EXPECT_EQ(read, Sentinel()) << name;
    }
}

}  // namespace
