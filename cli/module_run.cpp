#include "cli/module_run.h"

#include "cli/outcome_text.h"
#include "device/text.h"

Outcome ConnectTo(Module& module, const CliArguments& args) {
    module.link.timeouts = args.timeouts;
    module.link.stop = args.interrupted;
    return Connect(module, ToUtf8(args.port));
}

int ReportChange(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output) {
    const int status = Report(outcome, module, args, output);
    if (status != kExitOk) return status;
    if (output.changedUnstored) output.changedUnstored();
    else output.out(NotStoredText({args.port}) + L"\n");
    return status;
}
