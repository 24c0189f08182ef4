#pragma once
// The window's state held in memory, as korvelctl drives it: the same App the
// handlers work on, over an in-memory view that keeps every status text.

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/memory_view.h"
#include "cli/arguments.h"
#include "cli/cli_output.h"

// A handler may leave several texts on the status line in turn (a reload is
// followed by the read-back's own texts); korvelctl reports the handler's.
class StatusRecordingView : public MemoryView {
public:
    void setText(int id, const std::wstring& text) override;
    std::vector<std::wstring> statusTexts;
};

struct Session {
    // The controls filled as the window fills them when it is created.
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    StatusRecordingView view;
    App app{view};
};

// The last status text, or empty.
std::wstring LastStatus(const Session& session);

// Opens --port with the --settle wait and marks the link connected, as the
// connect button does but without its read-back; then runs the work inside the
// window's safety net and gives its exit status. "Connection failed." or the
// net's text ("Serial error occured: Read failed.") end it with kExitDevice.
int WithModule(Session& session, const CliArguments& args, const CliOutput& output, const std::function<int()>& work);
