#include "config/system_fault.h"

#include <cerrno>

#include "config/native_path.h"

SystemFault SystemFaultOf(int error, const std::filesystem::path& path) {
    switch (error) {
    case ENOENT: {
        std::error_code ignored;
        const std::filesystem::path folder = path.parent_path();
        return folder.empty() || std::filesystem::is_directory(folder, ignored) ? SystemFault::NotFound
                                                                                : SystemFault::NoFolder;
    }
    case ENOTDIR: return SystemFault::NoFolder;
    case EACCES:
    case EPERM: return SystemFault::PermissionDenied;
    case EISDIR: return SystemFault::IsFolder;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return SystemFault::NoSpace;
    case EROFS: return SystemFault::ReadOnly;
    case EFBIG: return SystemFault::TooLarge;
    default: return SystemFault::Unknown;
    }
}

std::optional<SystemFault> OpenToRead(const std::wstring& path, std::ifstream& in) {
    const std::filesystem::path native = NativePath(path);
    errno = 0;
    in.open(native, std::ios::binary);
    if (!in.is_open()) return SystemFaultOf(errno, native);
    // Linux opens a folder, and then fails its first read.
    std::error_code ignored;
    if (std::filesystem::is_directory(native, ignored)) {
        in.close();
        return SystemFault::IsFolder;
    }
    return std::nullopt;
}
