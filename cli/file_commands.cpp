#include "cli/file_commands.h"

#include "cli/config_text.h"
#include "cli/file_words.h"
#include "cli/outcome_text.h"
#include "config/config_document.h"
#include "config/config_json.h"

namespace {

// Reads `file` whole, or reports why not and gives the exit status in `status`.
bool Read(const std::wstring& file, ModuleConfig& config, const CliOutput& output, int& status) {
    const Outcome read = ReadConfigDocument(file, config);
    if (Succeeded(read)) return true;
    output.err(FileFaultText(read, file) + L"\n");
    status = ExitStatusOf(read);
    return false;
}

}  // namespace

int RunShow(const CliArguments& args, const CliOutput& output) {
    ModuleConfig config;
    int status = kExitOk;
    if (!Read(args.operands[0], config, output, status)) return status;
    output.out(args.json ? JsonLine(ConfigJson(config)) : Joined(ConfigLines(config)));
    return kExitOk;
}

int RunDiff(const CliArguments& args, const CliOutput& output) {
    ModuleConfig files[2];
    int status = kExitOk;
    for (int i = 0; i < 2; ++i)
        if (!Read(args.operands[i], files[i], output, status)) return status;
    const ConfigDiff diff = DiffConfigs(files[0], files[1]);
    if (args.json) output.out(JsonLine(JsonDiff(files[0], files[1])));
    else if (!diff.none()) output.out(Joined(DiffLines(diff)));
    return diff.none() ? kExitOk : kExitRefused;
}

int RunConvert(const CliArguments& args, const CliOutput& output) {
    const std::wstring& from = args.operands[0];
    const std::wstring& to = args.operands[1];
    ModuleConfig config;
    int status = kExitOk;
    if (!Read(from, config, output, status)) return status;
    const Outcome written = WriteConfigDocument(to, config);
    if (!Succeeded(written)) {
        output.err(FileFaultText(written, to) + L"\n");
        return ExitStatusOf(written);
    }
    output.out(ConvertedText(from, to) + L"\n");
    return kExitOk;
}
