#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/module_config.h"
#include "cli/session.h"
#include "config/cfg_codec.h"

int RunBackup(const CliArguments& args, const CliOutput& output) {
    Session session;
    return WithModule(session, args, output, [&] {
        // Everything is read before the file is touched, so a failed read
        // leaves an earlier backup of the same name as it was.
        const ConfigData data = ReadModuleConfig(session.app.link);
        const std::wstring outcome = WriteConfigFile(args.operands[0], data);
        if (outcome != kConfigSavedText) {
            output.err(outcome + L"\n");
            return kExitFile;
        }
        output.out(outcome + L"\n");
        return kExitOk;
    });
}
