// Writing a configuration over an earlier file: the earlier file is replaced
// only once the new one is whole, is written in place where its folder takes
// no new file, and every failure gives File > Save's texts and leaves no
// temporary file. The failures are real: a child process under a file-size
// limit, or without the permission, runs each write.
#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "app/status_words.h"
#include "config/cfg_codec.h"
#include "config/config_document.h"
#include "config/config_json.h"
#include "tests/config/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& path, const std::string& bytes, mode_t mode) {
    std::ofstream(path, std::ios::binary) << bytes;
    if (geteuid() == 0) {
        EXPECT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    }
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
}

// Runs `save` in a child process, as nobody when this process is root (whom
// permissions do not stop), with files limited to `maxFileSize` bytes and
// SIGXFSZ ignored, so that a write past the limit fails instead of killing
// the child. The status text the child's outcome shows.
std::wstring InChild(const std::function<Outcome()>& save, rlim_t maxFileSize) {
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{maxFileSize, maxFileSize};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
        const std::string text = ToUtf8(StatusText(save()));
        const bool sent = write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(sent ? 0 : 4);
    }
    close(pipeFds[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    std::wstring wide;
    EXPECT_TRUE(FromUtf8(text, wide));
    return wide;
}

// Four full tables: 9465 bytes as .cfg, about 130 kB as JSON.
ModuleConfig Large() {
    ModuleConfig c;
    std::uint8_t next = 0;
    ForEachTable(c, [&](const TableInfo&, auto& rows) {
        rows.resize(kMaxWireRows);
        for (auto& r : rows)
            for (auto& b : r.bytes) b = next += 37;
    });
    c.settings = {100, 1, 300, 0x8004};
    return c;
}

ModuleConfig Small() {
    ModuleConfig c;
    c.media.resize(2);
    c.settings = {80, 0, 100, 0x0001};
    return c;
}

std::string Encoded(const ModuleConfig& config, bool json) {
    if (json) return EncodeConfigJson(config);
    const auto bytes = EncodeConfig(config);
    return {bytes.begin(), bytes.end()};
}

TEST(ReplaceFile, AnEarlierFileSurvivesEveryFailedWrite) {
    enum Left { Old, New, NewCutAtLimit, Nothing };
    const struct {
        const char* what;
        const char* name;
        mode_t folderMode;
        int fileMode;  // -1: no earlier file
        rlim_t limit;
        const wchar_t* text;
        Left left;
        bool someoneElses = false;  // the folder and the file belong to root, not to the child
    } cases[] = {
        {"replaced", "a.cfg", 0755, 0640, RLIM_INFINITY, L"Config saved successfully", New},
        {"replaced as JSON", "a.json", 0755, 0640, RLIM_INFINITY, L"Config saved successfully", New},
        {"new file", "a.cfg", 0755, -1, RLIM_INFINITY, L"Config saved successfully", New},
        {"file-size limit", "a.cfg", 0755, 0644, 4096, L"Failed while writing config", Old},
        {"file-size limit, JSON", "a.json", 0755, 0644, 65536, L"Failed while writing config", Old},
        {"file-size limit, no earlier file", "a.cfg", 0755, -1, 4096, L"Failed while writing config", Nothing},
        {"read-only file", "a.cfg", 0755, 0444, RLIM_INFINITY, L"Failed to open file for saving", Old},
        {"folder takes no new file", "a.cfg", 0555, 0644, RLIM_INFINITY, L"Config saved successfully", New},
        {"folder takes no new file, none there", "a.cfg", 0555, -1, RLIM_INFINITY, L"Failed to open file for saving",
         Nothing},
        {"folder takes no new file, file-size limit", "a.cfg", 0555, 0644, 4096, L"Failed while writing config",
         NewCutAtLimit},
        {"sticky folder, someone else's file", "a.cfg", 01777, 0666, RLIM_INFINITY, L"Config saved successfully", New,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.someoneElses && geteuid() != 0) continue;  // only root can give a file away
        TempDir tmp;
        const fs::path file = tmp.dir / c.name;
        const bool json = IsJsonFileName(WidenBytes(c.name));
        const std::string old = Encoded(Small(), json), fresh = Encoded(Large(), json);
        if (c.fileMode >= 0) Put(file, old, static_cast<mode_t>(c.fileMode));
        if (c.someoneElses) {
            ASSERT_EQ(chown(tmp.dir.c_str(), 0, 0), 0);
            ASSERT_EQ(chown(file.c_str(), 0, 0), 0);
        }
        ASSERT_EQ(chmod(tmp.dir.c_str(), c.folderMode), 0);
        const std::wstring text =
            InChild([&] { return WriteConfigDocument(WidenBytes(file.string()), Large()); }, c.limit);
        EXPECT_EQ(text, c.text);
        chmod(tmp.dir.c_str(), 0700);
        // Nothing but the file itself is ever left in the folder.
        EXPECT_EQ(tmp.names(), c.left == Nothing ? std::set<std::string>{} : std::set<std::string>{c.name});
        const std::string expected = c.left == Old ? old : c.left == New ? fresh : fresh.substr(0, c.limit);
        if (c.left != Nothing) {
            EXPECT_TRUE(Contents(file) == expected) << "the file holds " << Contents(file).size() << " bytes";
        }
        // A replaced file keeps the earlier one's permissions.
        if (c.left == New && c.fileMode >= 0) {
            EXPECT_EQ(fs::status(file).permissions(), fs::perms(c.fileMode));
        }
    }
}

// A device is written in place, never replaced by a file, also through a
// link. The device is a node of the test's own like /dev/full, so that a
// fault here cannot replace the system's.
TEST(ReplaceFile, WritesIntoADeviceInPlace) {
    TempDir tmp;
    const fs::path full = tmp.dir / "full";
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "no device node can be made here (that takes root): " << std::strerror(errno);
    fs::create_symlink("full", tmp.dir / "full.cfg");
    for (const char* name : {"full", "full.cfg"}) {
        EXPECT_EQ(StatusText(WriteConfigDocument(WidenBytes((tmp.dir / name).string()), Small())),
                  L"Failed while writing config") << name;
    }
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_TRUE(fs::is_symlink(tmp.dir / "full.cfg"));
    EXPECT_EQ(tmp.names(), (std::set<std::string>{"full", "full.cfg"}));
}

// A link stays a link, and the file it names is replaced; a folder is refused.
TEST(ReplaceFile, WritesThroughALinkAndRefusesAFolder) {
    TempDir tmp;
    fs::create_directory(tmp.dir / "real");
    Put(tmp.dir / "real" / "kept.json", "old", 0600);
    fs::create_symlink("real/kept.json", tmp.dir / "alias.json");
    EXPECT_EQ(StatusText(WriteConfigDocument(WidenBytes((tmp.dir / "alias.json").string()), Small())),
              L"Config saved successfully");
    EXPECT_TRUE(fs::is_symlink(tmp.dir / "alias.json"));
    EXPECT_EQ(Contents(tmp.dir / "real" / "kept.json"), EncodeConfigJson(Small()));
    EXPECT_EQ(fs::status(tmp.dir / "real" / "kept.json").permissions(), fs::perms(0600));
    EXPECT_EQ(tmp.names(), (std::set<std::string>{"alias.json", "real"}));

    fs::create_directory(tmp.dir / "folder.cfg");
    EXPECT_EQ(StatusText(WriteConfigDocument(WidenBytes((tmp.dir / "folder.cfg").string()), Small())),
              L"Failed to open file for saving");
    EXPECT_TRUE(fs::is_empty(tmp.dir / "folder.cfg"));
}

}  // namespace
