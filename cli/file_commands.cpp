#include "cli/file_commands.h"

#include "cli/config_text.h"
#include "cli/outcome_text.h"
#include "config/config_file.h"

int RunShow(const CliArguments& args, const CliOutput& output) {
    ModuleConfig config;
    const Outcome read = ReadConfigFile(args.operands[0], config);
    if (!Succeeded(read)) {
        output.err(FileFaultText(read, args.operands[0]) + L"\n");
        return ExitStatusOf(read);
    }
    output.out(args.json ? JsonConfig(config) + L"\n" : Joined(ConfigLines(config)));
    return kExitOk;
}

int RunDiff(const CliArguments& args, const CliOutput& output) {
    ModuleConfig files[2];
    for (int i = 0; i < 2; ++i) {
        const Outcome read = ReadConfigFile(args.operands[i], files[i]);
        if (Succeeded(read)) continue;
        output.err(FileFaultText(read, args.operands[i]) + L"\n");
        return ExitStatusOf(read);
    }
    const ConfigDiff diff = DiffConfigs(files[0], files[1]);
    if (args.json) output.out(JsonDiff(files[0], files[1]) + L"\n");
    else if (!diff.empty()) output.out(Joined(DiffLines(diff)));
    return diff.empty() ? kExitOk : kExitRefused;
}
