#include "config/config_file.h"

#include <fstream>

#include "config/cfg_codec.h"
#include "config/native_path.h"
#include "config/system_fault.h"

namespace {

Outcome Failed(const OperationId& operation, FileFault fault, const FileFacts& facts = {}) {
    return {.operation = &operation, .kind = OutcomeKind::FileError, .file = fault, .fileFacts = facts};
}

}  // namespace

Outcome SaveConfigFile(const std::wstring& path, const ModuleConfig& config) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return Failed(kSaveConfigFile, FileFault::CannotCreate);
    bool ok = EncodeConfig(out, config);
    // Buffered bytes reach the file only now; a failure here is a failed write.
    out.close();
    ok = ok && !out.fail();
    return ok ? Outcome{&kSaveConfigFile} : Failed(kSaveConfigFile, FileFault::WriteFailed);
}

Outcome ReadConfigFile(const std::wstring& path, ModuleConfig& out) {
    std::ifstream in;
    if (const auto why = OpenToRead(path, in)) return Failed(kLoadConfigFile, FileFault::CannotOpen, {.system = *why});
    FileFacts facts;
    if (const auto fault = DecodeConfig(in, out, &facts)) return Failed(kLoadConfigFile, *fault, facts);
    return {&kLoadConfigFile};
}
