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
#include <tuple>

#include "app/status_words.h"
#include "config/cfg_codec.h"
#include "config/config_document.h"
#include "config/config_json.h"
#include "tests/scratch.h"

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

// Four full tables: 9465 bytes as .cfg.
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

std::string Cfg(const ModuleConfig& config) {
    const auto bytes = EncodeConfig(config);
    return {bytes.begin(), bytes.end()};
}

TEST(ReplaceFile, AnEarlierFileSurvivesEveryFailedWrite) {
    enum Left { Old, New, NewCutAtLimit, Nothing };
    const wchar_t *saved = L"Config saved successfully", *cut = L"Failed while writing config",
                  *refused = L"Failed to open file for saving";
    const rlim_t any = RLIM_INFINITY;
    // What is there, the folder's mode, the earlier file's (-1: none), the child's file-size limit and whether
    // the folder and the file are root's rather than the child's; then the status text and what the file holds.
    const std::tuple<const char*, mode_t, int, rlim_t, bool, const wchar_t*, Left> cases[] = {
        {"replaced", 0755, 0640, any, false, saved, New},
        {"new file", 0755, -1, any, false, saved, New},
        {"file-size limit", 0755, 0644, 4096, false, cut, Old},
        {"file-size limit, no earlier file", 0755, -1, 4096, false, cut, Nothing},
        {"read-only file", 0755, 0444, any, false, refused, Old},
        {"folder takes no new file", 0555, 0644, any, false, saved, New},
        {"folder takes no new file, none there", 0555, -1, any, false, refused, Nothing},
        {"folder takes no new file, file-size limit", 0555, 0644, 4096, false, cut, NewCutAtLimit},
        {"sticky folder, someone else's file", 01777, 0666, any, true, saved, New},
    };
    for (const auto& [what, folderMode, fileMode, limit, someoneElses, text, left] : cases) {
        SCOPED_TRACE(what);
        if (someoneElses && geteuid() != 0) continue;  // only root can give a file away
        Scratch tmp;
        const fs::path file = tmp.dir / "a.cfg";
        const std::string old = Cfg(Small()), fresh = Cfg(Large());
        if (fileMode >= 0) Put(file, old, static_cast<mode_t>(fileMode));
        if (someoneElses) {
            ASSERT_EQ(chown(tmp.dir.c_str(), 0, 0), 0);
            ASSERT_EQ(chown(file.c_str(), 0, 0), 0);
        }
        ASSERT_EQ(chmod(tmp.dir.c_str(), folderMode), 0);
        EXPECT_EQ(InChild([&] { return WriteConfigDocument(WidenBytes(file.string()), Large()); }, limit), text);
        chmod(tmp.dir.c_str(), 0700);
        // Nothing but the file itself is ever left in the folder.
        EXPECT_EQ(tmp.names(), left == Nothing ? std::set<std::string>{} : std::set<std::string>{"a.cfg"});
        const std::string expected = left == Old ? old : left == New ? fresh : fresh.substr(0, limit);
        if (left != Nothing) {
            EXPECT_TRUE(Contents(file) == expected) << "the file holds " << Contents(file).size() << " bytes";
        }
        if (left == New && fileMode >= 0) {
            EXPECT_EQ(fs::status(file).permissions(), fs::perms(fileMode));
        }
    }
}

// A link stays a link, and the file it names is replaced; a folder is refused;
// a device is written in place, never replaced by a file, also through a link.
// The device is a node of the test's own like /dev/full, so that a fault here
// cannot replace the system's.
TEST(ReplaceFile, WritesThroughALinkIntoADeviceInPlaceAndRefusesAFolder) {
    Scratch tmp;
    const auto write = [&](const std::string& name) {
        return StatusText(WriteConfigDocument(WidenBytes((tmp.dir / name).string()), Small()));
    };
    fs::create_directory(tmp.dir / "real");
    Put(tmp.dir / "real" / "kept.json", "old", 0600);
    fs::create_symlink("real/kept.json", tmp.dir / "alias.json");
    EXPECT_EQ(write("alias.json"), L"Config saved successfully");
    EXPECT_TRUE(fs::is_symlink(tmp.dir / "alias.json"));
    EXPECT_EQ(Contents(tmp.dir / "real" / "kept.json"), EncodeConfigJson(Small()));
    EXPECT_EQ(fs::status(tmp.dir / "real" / "kept.json").permissions(), fs::perms(0600));

    fs::create_directory(tmp.dir / "folder.cfg");
    EXPECT_EQ(write("folder.cfg"), L"Failed to open file for saving");
    EXPECT_TRUE(fs::is_empty(tmp.dir / "folder.cfg"));
    EXPECT_EQ(tmp.names(), (std::set<std::string>{"alias.json", "real", "folder.cfg"}));

    const fs::path full = tmp.dir / "full";
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "no device node can be made here (that takes root): " << std::strerror(errno);
    fs::create_symlink("full", tmp.dir / "full.cfg");
    for (const char* name : {"full", "full.cfg"}) EXPECT_EQ(write(name), L"Failed while writing config") << name;
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_TRUE(fs::is_symlink(tmp.dir / "full.cfg"));
    EXPECT_EQ(tmp.names(), (std::set<std::string>{"alias.json", "real", "folder.cfg", "full", "full.cfg"}));
}

}  // namespace
