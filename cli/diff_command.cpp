#include "cli/commands.h"
#include "cli/config_diff.h"
#include "cli/exit_status.h"

int RunDiff(const CliArguments& args, const CliOutput& output) {
    ConfigData files[2];
    for (int i = 0; i < 2; ++i) {
        if (const auto failure = ReadConfigFile(args.operands[i], files[i])) {
            output.err(args.operands[i] + L": " + *failure + L"\n");
            return kExitFile;
        }
    }
    const ConfigDiff diff = DiffConfigs(files[0], files[1]);
    if (args.json) {
        output.out(JsonDiff(files[0], files[1]) + L"\n");
    } else if (!diff.empty()) {
        Session session;
        std::wstring text;
        for (const auto& line : DiffLines(session, files[0], files[1], diff)) text += line + L"\n";
        output.out(text);
    }
    return diff.empty() ? kExitOk : kExitRefused;
}
