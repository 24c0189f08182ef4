#include "cli/commands.h"
#include "cli/config_json.h"
#include "cli/config_text.h"
#include "cli/exit_status.h"

int RunShow(const CliArguments& args, const CliOutput& output) {
    ConfigData data;
    if (const auto failure = ReadConfigFile(args.operands[0], data)) {
        output.err(*failure + L"\n");
        return kExitFile;
    }
    if (args.json) {
        output.out(JsonConfig(data) + L"\n");
        return kExitOk;
    }
    Session session;
    std::wstring text;
    for (const auto& line : ConfigLines(session, data)) text += line + L"\n";
    output.out(text);
    return kExitOk;
}
