#pragma once
// A fresh folder, removed with its contents at the end of the test. Run as
// root, it belongs to nobody, the user the tests' child processes write as.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "device/text.h"

constexpr uid_t kNobody = 65534;

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/korvel-config-XXXXXX";
        EXPECT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        if (geteuid() == 0) {
            EXPECT_EQ(chown(pattern, kNobody, kNobody), 0);
        }
    }
    ~TempDir() {
        chmod(dir.c_str(), 0700);
        std::filesystem::remove_all(dir);
    }
    std::wstring path(const std::string& name) const { return WidenBytes((dir / name).string()); }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) out.insert(entry.path().filename().string());
        return out;
    }
    std::filesystem::path dir;
};
