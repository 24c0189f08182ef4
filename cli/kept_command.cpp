#include "cli/kept_command.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "cli/config_text.h"
#include "cli/file_names.h"
#include "cli/file_words.h"
#include "config/native_path.h"
#include "config/system_fault.h"

namespace {

struct KeptFile {
    KeptName name;
    std::wstring path;
};

// The kept configurations in `folder`, newest first, into `files`; the
// system's reason when the folder cannot be read. A missing folder holds none.
std::optional<SystemFault> KeptFilesIn(const std::wstring& folder, std::vector<KeptFile>& files) {
    namespace fs = std::filesystem;
    const fs::path native = NativePath(folder);
    std::error_code error;
    if (!fs::exists(native, error)) return std::nullopt;
    for (fs::directory_iterator it(native, error), end; !error && it != end; it.increment(error)) {
        if (const auto kept = ReadKeptName(WidePath(it->path().filename()))) files.push_back({*kept, WidePath(it->path())});
    }
    if (error) return SystemFaultOf(error.default_error_condition().value(), native);
    std::sort(files.begin(), files.end(), [](const KeptFile& a, const KeptFile& b) {
        return std::tie(b.name.time, b.name.number, a.name.port) < std::tie(a.name.time, a.name.number, b.name.port);
    });
    return std::nullopt;
}

int List(const std::vector<KeptFile>& files, const std::wstring& folder, const CliOutput& output) {
    if (files.empty()) {
        output.out(L"No kept configurations in " + folder + L".\n");
        return kExitOk;
    }
    Cells rows;
    for (const KeptFile& file : files) rows.push_back({file.name.port, file.name.time, file.path});
    output.out(Joined(AlignColumns(rows)));
    return kExitOk;
}

int Prune(const std::vector<KeptFile>& files, std::uint32_t keep, const std::wstring& folder, const CliOutput& output) {
    std::map<std::wstring, std::uint32_t> seen;
    std::size_t removed = 0;
    for (const KeptFile& file : files) {
        if (++seen[file.name.port] <= keep) continue;
        std::error_code error;
        const std::filesystem::path native = NativePath(file.path);
        if (!std::filesystem::remove(native, error) && error) {
            output.err(file.path + L": cannot remove: " +
                       SystemFaultWords(SystemFaultOf(error.default_error_condition().value(), native)) + L".\n");
            return kExitFile;
        }
        output.out(L"Removed " + file.path + L".\n");
        ++removed;
    }
    output.out(L"Kept the newest " + std::to_wstring(keep) + L" of each port in " + folder + L"; removed " +
               std::to_wstring(removed) + (removed == 1 ? L" file.\n" : L" files.\n"));
    return kExitOk;
}

}  // namespace

int RunKept(const CliArguments& args, const CliOutput& output) {
    const std::wstring folder = args.keepPrevious.value_or(DefaultPreviousFolder());
    if (folder.empty()) {
        output.err(L"No folder of kept configurations (" + std::wstring(kPreviousFolderHint) +
                   L"); give --keep-previous DIR.\n");
        return kExitFile;
    }
    std::vector<KeptFile> files;
    if (const auto fault = KeptFilesIn(folder, files)) {
        output.err(folder + L": cannot read: " + SystemFaultWords(*fault) + L".\n");
        return kExitFile;
    }
    return args.prune ? Prune(files, *args.prune, folder, output) : List(files, folder, output);
}
