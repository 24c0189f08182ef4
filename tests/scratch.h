#pragma once
// Scratch folders, removed with their contents at the end: one of a test's
// own, and one per test process that becomes the user's data and runtime
// folders ($XDG_DATA_HOME, $XDG_RUNTIME_DIR) for it and the programs it
// starts: the configurations restore keeps and the virtual modules'
// announcements stay out of sight of every other test and program. Run as
// root, a test's folder belongs to nobody, the user its child processes may
// write as.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/text.h"

constexpr uid_t kNobody = 65534;

struct Scratch {
    explicit Scratch(bool nobodys = true) {
        char pattern[] = "/tmp/korvel-test-XXXXXX";
        EXPECT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        if (nobodys && geteuid() == 0) {
            EXPECT_EQ(chown(pattern, kNobody, kNobody), 0);
        }
    }
    ~Scratch() {
        chmod(dir.c_str(), 0700);
        std::filesystem::remove_all(dir);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::wstring path(const std::string& name) const { return WidenBytes((dir / name).string()); }
    std::wstring write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path(name);
    }
    std::string read(const std::string& name) const {
        return (std::ostringstream() << std::ifstream(dir / name, std::ios::binary).rdbuf()).str();
    }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) out.insert(entry.path().filename().string());
        return out;
    }
    std::filesystem::path dir;
};

// The process's data folder; its runtime folder is "run" in it.
inline const std::filesystem::path& PrivateHome() {
    static const struct Home : Scratch {
        Home() : Scratch(false) {
            std::filesystem::create_directories(dir / "run");
            ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        }
    } home;
    return home.dir;
}
