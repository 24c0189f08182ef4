#pragma once
// Writing a configuration file so that an earlier one is never lost: the new
// contents go to a temporary file beside it, which takes the old one's place
// only once it is whole on disk. Used by korvelctl's backup and convert; the
// window's File > Save writes in place.

#include <filesystem>
#include <optional>
#include <string_view>

#include "device/outcome.h"

// Writes `bytes` as the whole of the file at `path` (through a symbolic link,
// to the file it names). The temporary file is written, flushed to the device
// and closed, then renamed over `path` (replacing it and writing through on
// Windows); until then, and after any failure, an existing file is as it was
// and no temporary file is left. Written in place instead, as File > Save
// writes, when `path` is not a regular file (a device) or when its folder
// refuses a new file or the replacement while the file itself can be written.
// Nothing on success; CannotCreate when the file can be neither created nor
// opened for writing; WriteFailed when a write, the flush or the close failed;
// each with the system's reason.
struct WriteFailure {
    FileFault fault;
    SystemFault system = SystemFault::Unknown;
};
std::optional<WriteFailure> ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);
