#include "cli/korvelctl.h"

#include <map>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/usage.h"
#include "korvel_version.h"

int RunKorvelctl(const std::vector<std::wstring>& args, const CliOutput& output, const LinkTimeouts& timeouts) {
    if (args.size() == 1 && args[0] == L"--version") {
        output.out(L"korvelctl " KORVEL_VERSION L"\n");
        return kExitOk;
    }
    CliArguments parsed;
    parsed.timeouts = timeouts;
    if (const auto problem = ParseArguments(args, parsed)) {
        output.err(L"korvelctl: " + *problem + L"\n" + UsageText());
        return kExitUsage;
    }
    using Command = int (*)(const CliArguments&, const CliOutput&);
    static const std::map<std::wstring, Command> commands = {
        {L"ports", RunPorts},          {L"info", RunInfo},           {L"backup", RunBackup},
        {L"restore", RunRestore},      {L"set", RunHandlerCommand},  {L"store", RunHandlerCommand},
        {L"reload", RunHandlerCommand}, {L"reset", RunHandlerCommand}, {L"send-ir", RunHandlerCommand},
        {L"watch", RunWatch},          {L"show", RunShow},           {L"diff", RunDiff},
    };
    return commands.at(parsed.command)(parsed, output);
}
