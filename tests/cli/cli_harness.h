#pragma once
// korvelctl run in-process against virtual modules on pseudo-terminals, with
// no settle wait and a read deadline of a second, and .cfg files in a scratch folder.

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
#include "config/config_document.h"
#include "device/protocol.h"
#include "device/text.h"
#include "sim/virtual_module.h"
#include "tests/scratch.h"
#include "tests/time_scale.h"

struct CliRun { int status = -1; std::wstring out, err; };

inline LinkTimeouts ShortTimeouts() { return {.readConstant = ScaledMs(1000), .settleMs = 0}; }

// Each argument "@" stands for --port and the module's port.
inline CliRun RunCli(std::vector<std::wstring> args, const VirtualModule* module = nullptr,
                     std::vector<PortInfo> (*listPorts)() = listSerialPorts, std::time_t (*now)() = CurrentTime) {
    PrivateHome();
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

// A scratch folder that also takes configurations, as .cfg files; the process's own home.
struct ScratchFiles : Scratch {
    ScratchFiles() { PrivateHome(); }
    using Scratch::write;
    std::wstring write(const std::string& name, const ModuleConfig& c) const { return write(name, EncodeConfig(c)); }
};

// The configuration in a file of either form.
inline ModuleConfig Kept(const std::wstring& path) {
    ModuleConfig config;
    EXPECT_TRUE(Succeeded(ReadConfigDocument(path, config))) << ToUtf8(path);
    return config;
}

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
