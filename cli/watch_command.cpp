#include <chrono>
#include <thread>

#include "app/connection.h"
#include "app/resource_ids.h"
#include "cli/commands.h"
#include "cli/config_text.h"
#include "cli/exit_status.h"
#include "cli/session.h"

namespace {

constexpr int kLiveDisplays[] = {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC,
                                 IDC_CURRENT_BRIGHTNESS};

// The five live displays under their captions, as the window shows them.
std::wstring displayLine(const View& view) {
    std::wstring line;
    for (int id : kLiveDisplays) line += (line.empty() ? L"" : L"  ") + ControlCaption(id) + L" " + view.getText(id);
    return line;
}

}  // namespace

int RunWatch(const CliArguments& args, const CliOutput& output) {
    Session session;
    return WithModule(session, args, output, [&] {
        // The window's poll period; a slow reply delays the next poll
        // instead of queueing polls, as timer messages do.
        const auto period = std::chrono::milliseconds(POLL_INTERVAL_MS);
        auto next = std::chrono::steady_clock::now();
        std::wstring last;
        unsigned printed = 0;
        while (!args.count || printed < *args.count) {
            PollPressedButtons(session.app);
            const std::wstring line = displayLine(session.view);
            if (line != last) {
                output.out(line + L"\n");
                last = line;
                if (args.count && ++printed == *args.count) break;
            }
            next = std::max(next + period, std::chrono::steady_clock::now());
            std::this_thread::sleep_until(next);
        }
        return static_cast<int>(kExitOk);
    });
}
