#include "cli/restore.h"

#include <filesystem>

#include "actions/action_writes.h"
#include "cli/config_text.h"
#include "cli/file_names.h"
#include "cli/file_words.h"
#include "cli/module_run.h"
#include "cli/outcome_text.h"
#include "cli/part_way.h"
#include "cli/several_ports.h"
#include "config/config_document.h"
#include "config/native_path.h"
#include "config/system_fault.h"
#include "config/whole_config.h"
#include "settings/setting_commands.h"

namespace {

// The settings as held, then every row, then everything read back and
// compared, in the window's File > Open order: kExitOk with nothing printed,
// or the failure reported.
int WriteAndCompare(Module& module, const CliArguments& args, const CliOutput& output) {
    for (Setting setting : kSettings) {
        const Outcome sent = WriteHeldSetting(module, setting);
        if (!Succeeded(sent)) return Report(sent, module, args, output);
    }
    const Outcome written = WriteAllActions(module);
    if (!Succeeded(written)) return Report(written, module, args, output);
    ModuleConfig readBack;
    const Outcome read = ReadWholeConfig(module, readBack);
    if (!Succeeded(read)) return Report(read, module, args, output);
    const ConfigDiff diff = DiffConfigs(readBack, module.held);
    if (diff.none()) return kExitOk;
    output.err(MismatchText(FirstDifference(diff), SeveralPorts(args)) + L"\n");
    return kExitMismatch;
}

// The module's configuration `previous` kept in a new file in `folder`, whose
// name goes to `kept`: kExitOk, or why not reported and its status.
int KeepPrevious(const ModuleConfig& previous, const std::wstring& folder, const CliArguments& args,
                 const CliOutput& output, std::wstring& kept) {
    kept = PreviousConfigPath(folder, args.port, args.now());
    const Outcome saved = WriteConfigDocument(kept, previous);
    if (!Succeeded(saved)) {
        output.err(KeepFailedText(saved, kept) + L"\n");
        return ExitStatusOf(saved);
    }
    output.out(KeptText(kept) + L"\n");
    return kExitOk;
}

// restore --dry-run on one port: what the restore would change, module ->
// file, and 1 when there is anything.
int DryRun(const ModuleConfig& current, const ModuleConfig& file, const CliArguments& args, const CliOutput& output) {
    const ConfigDiff diff = DiffConfigs(current, file);
    if (diff.none() || SeveralPorts(args)) {
        output.out(DryRunLine(diff, ChangedSettings(current.settings, file.settings), args) + L"\n");
        if (args.json && output.attach) output.attach("diff", JsonDiff(current, file));
    } else {
        output.out(DryRunHeader(args) + L"\n" + Joined(DiffLines(diff)));
    }
    return diff.none() ? kExitOk : kExitRefused;
}

// restore on one port. The module is read whole first: a file whose tables
// have other lengths than the module's could only be written in part, and a
// file the module already holds needs nothing written and nothing kept.
// Then its configuration is kept in `folder` (none when empty) before
// anything is written, and after a failure part-way, the command that puts
// it back is said.
int RestoreOnPort(const ModuleConfig& file, const std::wstring& folder, const CliArguments& args,
                  const CliOutput& output) {
    return OnModule(args, output, [&](Module& module) -> int {
        ModuleConfig current;
        const Outcome read = ReadWholeConfig(module, current);
        if (!Succeeded(read)) {
            if (args.dryRun) return Report(read, module, args, output);
            output.err(ReadFailedText(read, module, args) + L"\n");
            return ExitStatusOf(read, module);
        }
        if (const std::wstring other = OtherLengthsText(current, file, args.operands[0]); !other.empty()) {
            output.err(other + L"\n");
            return kExitFile;
        }
        if (args.dryRun) return DryRun(current, file, args, output);
        if (DiffConfigs(current, file).none()) {
            output.out(AlreadyHeldText(args) + L"\n");
            return args.store ? Report(SaveModuleConfig(module), module, args, output) : kExitOk;
        }
        std::wstring kept;
        if (!folder.empty()) {
            const int status = KeepPrevious(current, folder, args, output, kept);
            if (status != kExitOk) return status;
        }
        BeganWriting(args.port, kept);
        const int status = WriteAndCompare(module, args, output);
        if (status != kExitOk) {
            // With several ports the ways back come together after the count.
            if (!kept.empty() && (!SeveralPorts(args) || args.json)) output.err(WayBackText(args.port, kept) + L"\n");
            return status;
        }
        FinishedWriting(args.port);
        const Outcome restored{&kWriteAllActions};
        if (!args.store) return ReportChange(restored, module, args, output);
        Report(restored, module, args, output);
        return Report(SaveModuleConfig(module), module, args, output);
    }, file);
}

// The folder restore keeps previous configurations in, made when missing,
// into `folder`: none with --no-keep-previous or --dry-run. kExitOk, or why
// there is none reported and its status.
int PreviousFolder(const CliArguments& args, const CliOutput& output, std::wstring& folder) {
    if (args.noKeepPrevious || args.dryRun) return kExitOk;
    folder = args.keepPrevious.value_or(DefaultPreviousFolder());
    if (folder.empty()) {
        output.err(NoPreviousFolderText() + L"\n");
        return kExitFile;
    }
    std::error_code error;
    const std::filesystem::path native = NativePath(folder);
    std::filesystem::create_directories(native, error);
    if (error) {
        std::error_code ignored;
        const bool fileInTheWay = std::filesystem::exists(native, ignored) && !std::filesystem::is_directory(native, ignored);
        const SystemFault fault = SystemFaultOf(error.default_error_condition().value(), native);
        output.err(PreviousFolderFailedText(folder, fileInTheWay ? std::nullopt : std::optional(fault)) + L"\n");
        return kExitFile;
    }
    return kExitOk;
}

}  // namespace

int RunRestore(const CliArguments& args, const CliOutput& output) {
    ForgetPartWayPorts();
    // The file is read whole, and a table the wire cannot address or a
    // setting out of its range keeps everything back, before any port is opened.
    Module none;
    const Outcome loaded = ReadConfigDocument(args.operands[0], none.held);
    if (!Succeeded(loaded)) return Report(loaded, none, args, output);
    for (const Outcome& check : {CheckTableLengths(none.held), CheckSettingRanges(none.held.settings)})
        if (!Succeeded(check)) return Report(check, none, args, output);
    std::wstring folder;
    if (const int status = PreviousFolder(args, output, folder); status != kExitOk) return status;
    const int status = RunOnPorts(args, output, [&](const CliArguments& port, const CliOutput& print) {
        return RestoreOnPort(none.held, folder, port, print);
    });
    if (SeveralPorts(args) && !args.json) {
        const std::vector<PartWayPort> all = PartWayPorts();
        std::vector<PartWayPort> partWay;
        for (const std::wstring& port : args.ports)
            for (const PartWayPort& part : all)
                if (part.port == port) partWay.push_back(part);
        if (!partWay.empty()) output.err(WaysBackText(partWay));
    }
    return status;
}
