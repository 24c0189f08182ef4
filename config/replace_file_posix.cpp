#include "config/replace_file.h"

#include "config/system_fault.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace {

WriteFailure Failure(FileFault fault, int error, const std::filesystem::path& path) {
    return {fault, SystemFaultOf(error, path)};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// As File > Save writes: created or truncated, then written; a partly written
// file stays.
std::optional<WriteFailure> WriteInPlace(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Failure(FileFault::CannotCreate, errno, path);
    const bool written = WriteAll(fd, bytes);
    const int why = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) return Failure(FileFault::WriteFailed, written ? errno : why, path);
    return std::nullopt;
}

// A new file beside `path`, named after it, with the permissions a new file
// gets (the umask applies); -1 when the folder takes no new file.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / ("." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The rename is on disk only once the folder is; a folder that cannot be
// flushed loses nothing that was there before.
void FlushFolder(const std::filesystem::path& path) {
    const int fd = ::open(path.has_parent_path() ? path.parent_path().c_str() : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::optional<WriteFailure> ReplaceFileContents(const std::filesystem::path& given, std::string_view bytes) {
    std::error_code error;
    std::filesystem::path path = given;
    if (std::filesystem::is_symlink(given, error)) {
        std::filesystem::path target = std::filesystem::canonical(given, error);
        if (!error) path = std::move(target);
    }
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    // A device is written, never replaced; a file that may not be written, or
    // a name that is no file's, is refused as File > Save refuses it.
    if (!path.has_filename() || (exists && (!S_ISREG(old.st_mode) || ::access(path.c_str(), W_OK) != 0)))
        return WriteInPlace(path, bytes);

    std::filesystem::path temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0) return WriteInPlace(path, bytes);
    if (exists) {
        // The replacement keeps the old file's owner (where we may) and mode.
        [[maybe_unused]] const bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        ::fchmod(fd, old.st_mode & 07777);
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int why = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const WriteFailure failure = Failure(FileFault::WriteFailed, written ? errno : why, path);
        ::unlink(temporary.c_str());
        return failure;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int why = errno;
        ::unlink(temporary.c_str());
        // A folder that takes new files but lets no file be replaced in it (a
        // sticky folder where the file is someone else's).
        if (why == EPERM || why == EACCES) return WriteInPlace(path, bytes);
        return Failure(FileFault::WriteFailed, why, path);
    }
    FlushFolder(path);
    return std::nullopt;
}
