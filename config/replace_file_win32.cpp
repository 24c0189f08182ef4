#include "config/replace_file.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

// The system's reason of the last failed call.
WriteFailure Failure(FileFault fault) {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: return {fault, SystemFault::NotFound};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return {fault, SystemFault::NoFolder};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return {fault, SystemFault::PermissionDenied};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {fault, SystemFault::NoSpace};
    case ERROR_WRITE_PROTECT: return {fault, SystemFault::ReadOnly};
    default: return {fault};
    }
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// As File > Save writes: created or truncated with shared access, then
// written; a partly written file stays.
std::optional<WriteFailure> WriteInPlace(const std::filesystem::path& path, std::string_view bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder's name: the system says no more than access denied.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return WriteFailure{FileFault::CannotCreate, SystemFault::IsFolder};
        return Failure(FileFault::CannotCreate);
    }
    const bool written = WriteAll(file, bytes);
    const WriteFailure failure = Failure(FileFault::WriteFailed);
    const bool closed = CloseHandle(file) != 0;
    if (!written) return failure;
    if (!closed) return Failure(FileFault::WriteFailed);
    return std::nullopt;
}

// A new file beside `path`, named after it; INVALID_HANDLE_VALUE when the
// folder takes no new file.
HANDLE CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : L".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / (L"." + path.filename().wstring() + L".tmp-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(counter++));
        const HANDLE file =
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::optional<WriteFailure> ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
    // A device or a folder is written (and fails) in place; a read-only file,
    // or a name that is no file's, is refused as File > Save refuses it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    constexpr DWORD kInPlace = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY;
    if (!path.has_filename() || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kInPlace)))
        return WriteInPlace(path, bytes);

    std::filesystem::path temporary;
    const HANDLE file = CreateTemporary(path, temporary);
    if (file == INVALID_HANDLE_VALUE) return WriteInPlace(path, bytes);
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    const WriteFailure failure = Failure(FileFault::WriteFailed);
    const bool closed = CloseHandle(file) != 0;
    if (!written || !closed) {
        DeleteFileW(temporary.c_str());
        return written ? WriteFailure{FileFault::WriteFailed} : failure;
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD why = GetLastError();
        DeleteFileW(temporary.c_str());
        // A folder that takes new files but lets no file be replaced in it.
        if (why == ERROR_ACCESS_DENIED) return WriteInPlace(path, bytes);
        SetLastError(why);
        return Failure(FileFault::WriteFailed);
    }
    return std::nullopt;
}
