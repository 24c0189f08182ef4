#include "cli/report.h"

#include "cli/outcome_text.h"

ExitStatus ExitStatusOf(const Outcome& outcome) {
    switch (outcome.kind) {
    case OutcomeKind::Done: return kExitOk;
    case OutcomeKind::Refused: return kExitRefused;
    case OutcomeKind::InvalidInput:  // only a file's contents reach an operation unchecked
    case OutcomeKind::FileError: return kExitFile;
    case OutcomeKind::NotConnected:
    case OutcomeKind::SerialError:
    case OutcomeKind::ProtocolError: break;
    }
    return kExitDevice;
}

ExitStatus ExitStatusOf(const Outcome& outcome, const Module& module) {
    return LinkFailed(outcome) && module.link.interrupted ? kExitInterrupted : ExitStatusOf(outcome);
}

int Report(const Outcome& outcome, const Module& module, const CliArguments& args, const CliOutput& output) {
    const ExitStatus status = ExitStatusOf(outcome, module);
    const std::wstring line = OutcomeText(outcome, module, args) + L"\n";
    if (status == kExitOk) output.out(line);
    else output.err(line);
    return status;
}
