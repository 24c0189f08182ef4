#pragma once
// korvelctl run in-process against virtual modules on pseudo-terminals, with
// no settle wait and short read time-outs, and .cfg files in a scratch folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "app/layout_table.h"
#include "cli/korvelctl.h"
#include "config/cfg_codec.h"
#include "device/protocol.h"
#include "device/text.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

struct CliRun { int status = -1; std::wstring out, err; };

inline LinkTimeouts ShortTimeouts() { return {.readConstant = ScaledMs(300), .settleMs = 0}; }

// restore keeps the module's previous configuration in the user's data folder
// unless told otherwise, and korvel-sim announces itself in the user's
// runtime folder: the tests' are scratch folders of the process, removed when
// it ends, which the programs it starts inherit.
inline const std::filesystem::path& DataHome() {
    static const struct ScratchDataHome {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("korvelctl-data-" + std::to_string(::getpid()));
        ScratchDataHome() {
            std::filesystem::create_directories(dir / "run");
            ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        }
        ~ScratchDataHome() { std::filesystem::remove_all(dir); }
    } home;
    return home.dir;
}

// Each argument "@" stands for --port and the module's port.
inline CliRun RunCli(std::vector<std::wstring> args, const VirtualModule* module = nullptr,
                     std::vector<PortInfo> (*listPorts)() = listSerialPorts, std::time_t (*now)() = CurrentTime) {
    DataHome();
    for (auto at = args.begin(); (at = std::find(at, args.end(), L"@")) != args.end(); at += 2)
        at = args.insert(args.erase(at), {L"--port", WidenBytes(module->portPath())});
    CliRun run;
    const CliOutput output{[&](const std::wstring& t) { run.out += t; }, [&](const std::wstring& t) { run.err += t; }};
    run.status = RunKorvelctl(args, output, {.timeouts = ShortTimeouts(), .listPorts = listPorts, .now = now});
    return run;
}

inline std::wstring PortOf(const VirtualModule& module) { return WidenBytes(module.portPath()); }

// Several ports' lines with their seconds as S: "PORT: ... (S s)", "seconds": S.
inline std::wstring WithoutSeconds(const std::wstring& text) {
    static const std::wregex line(LR"(\(\d+\.\d\d s\)\n)"), json(LR"("seconds": \d+\.\d\d)");
    return std::regex_replace(std::regex_replace(text, line, L"(S s)\n"), json, L"\"seconds\": S");
}

// A scratch folder of its own per test and process (two builds' tests may run
// at once), removed afterwards.
struct ScratchFiles {
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvelctl-" + test + "-" + std::to_string(::getpid()));
    ScratchFiles() { std::filesystem::remove_all(dir), std::filesystem::create_directories(dir); }
    ~ScratchFiles() { std::filesystem::remove_all(dir); }
    std::wstring path(const std::string& name) const { return WidenBytes((dir / name).string()); }
    std::wstring write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path(name);
    }
    std::wstring write(const std::string& name, const ModuleConfig& c) const { return write(name, EncodeConfig(c)); }
};

// Unlike the factory's in every table and setting, with the same row counts.
inline ModuleConfig OtherContents() {
    ModuleConfig config = FactoryConfig();
    auto scramble = [](auto& table) {
        for (std::size_t i = 0; i < table.size() * table[0].bytes.size(); ++i)
            table[i / table[0].bytes.size()].bytes[i % table[0].bytes.size()] = static_cast<std::uint8_t>(0xA5 ^ i);
    };
    scramble(config.media), scramble(config.gears), scramble(config.horn), scramble(config.acc);
    config.settings = {.maxBrightness = 17, .irFullRepeat = 1, .irRepeatPeriod = 999, .defaultResistors = 0x8004};
    return config;
}

inline std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The caption the window shows for a control: the label just before it, or a
// check box's own text with a colon.
inline std::wstring WindowCaption(int id) {
    for (std::size_t i = 0; i < std::size(kMainControls); ++i) {
        if (kMainControls[i].id != id) continue;
        if (kMainControls[i].kind == ControlKind::CheckBox) return std::wstring(kMainControls[i].text) + L":";
        if (i > 0 && kMainControls[i - 1].kind == ControlKind::Label) return kMainControls[i - 1].text;
    }
    return {};
}
