#include "config/config_document.h"

#include <fstream>

#include "config/cfg_codec.h"
#include "config/config_file.h"
#include "config/config_json.h"
#include "config/native_path.h"
#include "config/replace_file.h"
#include "config/system_fault.h"

namespace {

Outcome Failed(const OperationId& operation, FileFault fault, const FileFacts& facts, std::string detail = {}) {
    return {.operation = &operation,
            .kind = OutcomeKind::FileError,
            .error = std::move(detail),
            .file = fault,
            .fileFacts = facts};
}

}  // namespace

bool IsJsonFileName(const std::wstring& path) {
    constexpr std::wstring_view kExtension = L".json";
    if (path.size() < kExtension.size()) return false;
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        const wchar_t c = path[path.size() - kExtension.size() + i];
        if ((c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c) != kExtension[i]) return false;
    }
    return true;
}

Outcome ReadConfigDocument(const std::wstring& path, ModuleConfig& out) {
    if (!IsJsonFileName(path)) return ReadConfigFile(path, out);
    std::ifstream in;
    if (const auto why = OpenToRead(path, in)) return Failed(kLoadConfigFile, FileFault::CannotOpen, {.system = *why});
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return Failed(kLoadConfigFile, FileFault::CannotOpen, {});
    if (auto reason = DecodeConfigJson(text, out)) {
        // A .cfg file under a JSON name is worth saying as such.
        const FileContent content = ContentOf(std::string_view(text).substr(0, 8));
        return Failed(kLoadConfigFile, FileFault::BadJson,
                      {.content = content == FileContent::Cfg ? content : FileContent::Unknown}, *reason);
    }
    return {&kLoadConfigFile};
}

Outcome LoadConfigFile(Module& module, const std::wstring& path) {
    ModuleConfig read;
    Outcome outcome = ReadConfigDocument(path, read);
    if (!Succeeded(outcome)) return outcome;
    read.settings.irFullRepeat = read.settings.irFullRepeat != 0;
    module.held = std::move(read);
    return outcome;
}

Outcome WriteConfigDocument(const std::wstring& path, const ModuleConfig& config) {
    std::string bytes;
    if (IsJsonFileName(path)) {
        bytes = EncodeConfigJson(config);
    } else {
        const auto cfg = EncodeConfig(config);
        bytes.assign(cfg.begin(), cfg.end());
    }
    if (const auto failure = ReplaceFileContents(NativePath(path), bytes))
        return Failed(kSaveConfigFile, failure->fault, {.system = failure->system});
    return {&kSaveConfigFile};
}
