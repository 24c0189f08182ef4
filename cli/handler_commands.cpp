// The commands that are one button of the window: the value goes into the
// control the user would type into, the handler behind the button runs, and
// its status text is the outcome, so the checks and texts are the window's.
#include <algorithm>

#include "app/resource_ids.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/outcome.h"
#include "cli/session.h"
#include "cli/usage.h"
#include "settings/setting_handlers.h"

namespace {

struct HandlerCall {
    void (*handler)(App&);
    const wchar_t* success;  // the handler's text for status 0
};

// The Greek capital omega is what keyboards type; the catalogue has the ohm sign.
std::wstring catalogueSpelling(std::wstring name) {
    std::replace(name.begin(), name.end(), L'\u03A9', L'\u2126');
    return name;
}

int usageError(const CliOutput& output, const std::wstring& problem) {
    output.err(L"korvelctl: " + problem + L"\n" + UsageText());
    return kExitUsage;
}

int runHandler(Session& session, const CliArguments& args, const CliOutput& output, const HandlerCall& call) {
    return WithModule(session, args, output, [&] {
        auto& texts = session.view.statusTexts;
        texts.clear();
        call.handler(session.app);
        // A reload or reset is followed by the read-back's texts; the first
        // text is the handler's own.
        const std::wstring outcome = texts.empty() ? std::wstring() : texts.front();
        const int status = OutcomeStatus(outcome, call.success);
        if (status == kExitOk) output.out(outcome + L"\n");
        else if (status == kExitUsage) output.err(outcome + L"\n" + UsageText());
        else output.err(outcome + L"\n");
        return status;
    });
}

int runSet(Session& session, const CliArguments& args, const CliOutput& output) {
    const std::wstring& what = args.operands[0];
    const std::size_t values = args.operands.size() - 1;
    View& view = session.view;
    if (what == L"resistance") {
        if (values != 2) return usageError(output, L"set resistance takes RA and RB");
        const int a = view.comboFindExact(IDC_RA_DEFAULT, catalogueSpelling(args.operands[1]));
        const int b = view.comboFindExact(IDC_RB_DEFAULT, catalogueSpelling(args.operands[2]));
        if (a < 0) return usageError(output, L"no RA value " + args.operands[1]);
        if (b < 0) return usageError(output, L"no RB value " + args.operands[2]);
        view.comboSelect(IDC_RA_DEFAULT, a);
        view.comboSelect(IDC_RB_DEFAULT, b);
        return runHandler(session, args, output, {ApplyDefaultResistance, kResistanceTexts.success});
    }
    if (values != 1) return usageError(output, L"set " + what + L" takes one value");
    const std::wstring& value = args.operands[1];
    if (what == L"brightness") {
        view.setText(IDC_MAX_BRIGHTNESS, value);
        return runHandler(session, args, output, {ApplyMaxBrightness, kBrightnessTexts.success});
    }
    if (what == L"period") {
        view.setText(IDC_IR_PERIOD, value);
        return runHandler(session, args, output, {ApplyIrRepeatPeriod, kIrPeriodTexts.success});
    }
    if (what == L"full-repeat") {
        if (value != L"on" && value != L"off") return usageError(output, L"full-repeat is on or off");
        // The handler turns the box over, so it starts from the other state.
        view.setChecked(IDC_FULL_REPEAT, value == L"off");
        return runHandler(session, args, output, {ToggleIrFullRepeat, kFullRepeatTexts.success});
    }
    return usageError(output, L"unknown setting " + what);
}

}  // namespace

int RunHandlerCommand(const CliArguments& args, const CliOutput& output) {
    Session session;
    const std::wstring& command = args.command;
    if (command == L"set") return runSet(session, args, output);
    if (command == L"send-ir") {
        session.view.setText(IDC_IR_CODE, args.operands[0]);
        return runHandler(session, args, output, {SendIrCode, kSendIrTexts.success});
    }
    if (command == L"store") return runHandler(session, args, output, {SaveModuleConfig, kSaveTexts.success});
    if (command == L"reload") return runHandler(session, args, output, {LoadModuleConfig, kLoadTexts.success});
    return runHandler(session, args, output, {ResetModuleConfig, kResetTexts.success});
}
