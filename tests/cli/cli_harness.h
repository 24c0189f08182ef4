#pragma once
// korvelctl run in-process against virtual modules on pseudo-terminals, with
// no settle wait and a read deadline of a second, or as a shell runs it; .cfg
// files in a scratch folder.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

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
inline std::string WithoutSeconds(const std::string& text) { return ToUtf8(WithoutSeconds(WidenBytes(text))); }

// `text` with each key replaced by its value.
inline std::wstring Expanded(std::wstring text, std::initializer_list<std::pair<std::wstring, std::wstring>> values) {
    for (const auto& [key, value] : values)
        for (std::size_t at; (at = text.find(key)) != std::wstring::npos;) text.replace(at, key.size(), value);
    return text;
}

// The reads of a whole configuration, as info, backup and restore send them.
inline const std::vector<std::uint8_t> kReadAll = {
    cmd::getIRRepeatPeriod, cmd::getIRFullRepeat, cmd::getMaxBrightness, cmd::getDefaultResistance,
    cmd::getMediaActions,   cmd::getGearActions,  cmd::getHornActions,   cmd::getAccActions};

// The bytes of every request, one after another.
inline std::vector<std::uint8_t> Sent(const VirtualModule& module) {
    std::vector<std::uint8_t> sent;
    for (const Exchange& e : module.exchanges()) sent.insert(sent.end(), e.request.begin(), e.request.end());
    return sent;
}

// A scratch folder that also takes configurations, as .cfg files; the process's own home.
struct ScratchFiles : Scratch {
    ScratchFiles() { PrivateHome(); }
    using Scratch::write;
    std::wstring write(const std::string& name, const ModuleConfig& c) const { return write(name, EncodeConfig(c)); }
};

// korvelctl started as a shell starts it, with standard output and standard
// error into files of `files`, as the user `as` where given; its process.
inline pid_t StartProgram(const ScratchFiles& files, const std::vector<std::string>& args, const passwd* as = nullptr) {
    const std::string out = ToUtf8(files.path("out")), err = ToUtf8(files.path("err"));
    std::vector<const char*> argv = {KORVELCTL_PATH};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (outFd < 0 || errFd < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0) _exit(99);
        if (as && (setgroups(0, nullptr) != 0 || setgid(as->pw_gid) != 0 || setuid(as->pw_uid) != 0)) _exit(97);
        execv(KORVELCTL_PATH, const_cast<char* const*>(argv.data()));
        _exit(98);
    }
    return child;
}

// Its exit status, and what it wrote.
inline std::tuple<int, std::string, std::string> Ended(const ScratchFiles& files, pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, files.read("out"), files.read("err")};
}

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
