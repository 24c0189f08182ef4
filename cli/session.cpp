#include "cli/session.h"

#include "app/connection.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "cli/exit_status.h"
#include "device/text.h"

void StatusRecordingView::setText(int id, const std::wstring& text) {
    if (id == IDC_STATUS) statusTexts.push_back(text);
    MemoryView::setText(id, text);
}

namespace {

bool openPort(Session& session, const CliArguments& args) {
    SerialLink& link = session.app.link;
    link.timeouts = args.timeouts;
    if (!link.open(ToUtf8(args.port.value_or(L"")))) return false;
    link.connected = true;
    return true;
}

// False when the work threw: the safety net has then put its text on the status line.
bool runGuarded(Session& session, const std::function<void()>& work) {
    bool finished = false;
    RunGuarded(session.app, [&] {
        work();
        finished = true;
    });
    return finished;
}

}  // namespace

Session::Session() {
    InitialiseMainControls(app);
    view.statusTexts.clear();
}

std::wstring LastStatus(const Session& session) {
    const auto& texts = session.view.statusTexts;
    return texts.empty() ? std::wstring() : texts.back();
}

int WithModule(Session& session, const CliArguments& args, const CliOutput& output, const std::function<int()>& work) {
    if (!openPort(session, args)) {
        output.err(std::wstring(kConnectionFailedText) + L"\n");
        return kExitDevice;
    }
    int status = kExitOk;
    if (!runGuarded(session, [&] { status = work(); })) {
        output.err(LastStatus(session) + L"\n");
        return kExitDevice;
    }
    return status;
}
