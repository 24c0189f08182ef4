#pragma once
// korvelctl run in-process against virtual modules on pseudo-terminals, with
// no settle wait and short read time-outs, and .cfg files in a scratch folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/korvelctl.h"
#include "config/cfg_codec.h"
#include "device/text.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

struct CliRun {
    int status = -1;
    std::wstring out, err;
};

inline LinkTimeouts ShortTimeouts() {
    LinkTimeouts t;
    t.settleMs = 0;
    t.readConstant = ScaledMs(300);
    return t;
}

inline CliRun RunCli(const std::vector<std::wstring>& args) {
    CliRun run;
    const CliOutput output{[&](const std::wstring& text) { run.out += text; },
                           [&](const std::wstring& text) { run.err += text; }};
    run.status = RunKorvelctl(args, output, ShortTimeouts());
    return run;
}

// The command line with --port of the module in front.
inline std::vector<std::wstring> OnModule(const VirtualModule& module, std::vector<std::wstring> args) {
    args.insert(args.begin(), {L"--port", WidenBytes(module.portPath())});
    return args;
}

// A scratch folder of its own per test, removed afterwards.
class ScratchFiles {
public:
    ScratchFiles() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("korvelctl-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~ScratchFiles() { std::filesystem::remove_all(dir_); }

    std::wstring path(const std::string& name) const { return WidenBytes((dir_ / name).string()); }
    std::wstring write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }
    std::wstring write(const std::string& name, const ConfigData& data) const { return write(name, EncodeConfig(data)); }

private:
    std::filesystem::path dir_;
};

// The module's configuration as a file holds it.
inline ConfigData AsConfigData(const ModuleConfig& m) {
    ConfigData d{m.media, m.gears, m.horn, m.acc, {}};
    d.settings.g_maxBrightness = m.maxBrightness;
    d.settings.g_irFullRepeat = m.irFullRepeat != 0;
    d.settings.g_irRepeatPeriod = m.irRepeatPeriod;
    d.settings.g_defaultResistors = m.defaultResistance;
    return d;
}

// The lines of a text, without their line ends.
inline std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return lines;
}

inline Fault Refuse(int command, std::uint8_t status) {
    Fault f;
    f.kind = FaultKind::Refuse;
    f.command = command;
    f.status = status;
    return f;
}

inline Fault Silence(int command, std::size_t afterBytes = 0) {
    Fault f;
    f.kind = FaultKind::Silence;
    f.command = command;
    f.afterBytes = afterBytes;
    return f;
}

inline Fault HangUp(int command) {
    Fault f;
    f.kind = FaultKind::HangUp;
    f.command = command;
    return f;
}
