// The soak: the connected program logic on the in-memory window, polling at
// 5 Hz for a bounded time while the virtual module injects random faults and
// a simulated user edits cells, switches tabs and writes all tables.
//   korvel_soak [--seconds N] [--seed N]   (default 120 s)
// Rounds with faults alternate with clean rounds, each on a fresh line; one
// after faults also on a fresh module holding what the old one held, so a
// clean round must not fail once. Every status text must be the system's;
// after a clean round the table on show must be the module's; at the end each
// row must hold what the last clean write put there, or a record sent for it
// in a round with faults since.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "actions/action_writes.h"
#include "app/actions_list.h"
#include "app/connection.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/status_line.h"
#include "device/text.h"
#include "sim/virtual_module.h"
#include "tests/app/memory_view.h"
#include "tests/time_scale.h"
#include "vocabulary/cell_text.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using Bytes = std::vector<std::uint8_t>;

// The system's texts the soak's actions may show; a trailing space: a number follows.
const std::wstring kSuccesses[] = {L"Action updated", L"Media actions loaded.", L"Gear actions loaded.",
                                   L"Horn actions loaded.", L"ACC actions loaded.", L"All actions written to device.",
                                   L"Connected. Live polling at 5 Hz."};
const std::wstring kFailures[] = {
    L"setAction failed (exception).", L"Invalid Button.", L"Invalid IR.", L"Invalid RA.", L"Invalid RB.",
    L"Get actions failed (exception).", L"Loading actions from device failed (exception).",
    L"Writing actions to device failed (exception).", L"Protocol error occured: Fewer bytes than expected.",
    L"Serial error occured: Read failed.", L"Serial error occured: Write failed.",
    L"Updating action failed, response: ", L"Failed writing media action ", L"Failed writing gear action ",
    L"Failed writing horn action ", L"Failed writing ACC action "};

const std::uint8_t kRecordWrites[] = {cmd::setMediaAction, cmd::setGearAction, cmd::setHornAction, cmd::setAccAction};

bool isOneOf(const std::wstring& text, const auto& texts) {
    return std::ranges::any_of(texts, [&](const std::wstring& t) {
        if (!t.ends_with(L' ')) return text == t;
        return text.size() > t.size() && text.starts_with(t) &&
               text.find_first_not_of(L"0123456789", t.size()) == text.npos;
    });
}

std::vector<Bytes> rowsOf(const ModuleConfig& m, std::uint32_t t) {
    std::vector<Bytes> rows;
    WithTable(m, t, [&](const auto& table) {
        for (const auto& r : table) rows.emplace_back(r.bytes.begin(), r.bytes.end());
    });
    return rows;
}

struct Soak {
    explicit Soak(unsigned seed) : random(seed), module(std::make_unique<VirtualModule>()) {
        app.module.link.timeouts = {.readConstant = ScaledMs(250), .settleMs = 0};
        module->setLiveChanges(false);
        for (std::uint32_t t = 0; t < 4; ++t)
            for (const Bytes& row : rowsOf(module->config(), t)) allowed[t].push_back({row});
        InitialiseMainControls(app);
    }

    std::mt19937 random;
    std::unique_ptr<VirtualModule> module;
    MemoryView view;
    App app{view};
    bool faulty = false;
    std::vector<std::vector<Bytes>> allowed[4];  // the records each row of the module may hold now
    long exchanges = 0, faults = 0, failures = 0, violations = 0;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void violation(const std::string& what) {
        if (++violations <= 20) std::printf("VIOLATION: %s\n", what.c_str());
    }

    // Record writes the module received replace a row's record in a clean
    // round and add a possible one in a round with faults.
    void absorbExchanges() {
        for (const Exchange& e : module->exchanges()) {
            ++exchanges;
            const auto t = std::ranges::find(kRecordWrites, e.request[0]) - std::begin(kRecordWrites);  // its table
            if (t == 4 || e.request[1] >= allowed[t].size()) continue;  // not a write, or refused: no such row
            auto& slot = allowed[t][e.request[1]];
            if (!faulty) slot.clear();
            slot.emplace_back(e.request.begin() + 2, e.request.end());
        }
        module->clearExchanges();
    }

    void checkStatus(const char* after) {
        const std::wstring text = view.getText(IDC_STATUS);
        if (isOneOf(text, kSuccesses)) return;
        if (!isOneOf(text, kFailures)) violation(std::string("not a text of the system after ") + after + ": " + ToUtf8(text));
        ++failures;
        if (!faulty) violation(std::string("failure in a clean round after ") + after + ": " + ToUtf8(text));
    }

    void connect() {
        ShowPortList(app, {{module->portPath(), "Korvel virtual module"}});
        HandleEvent(app, UiEvent::Connect);
        if (!app.module.link.connected) violation("connecting failed: " + ToUtf8(view.getText(IDC_STATUS)));
    }

    // Another module in place of this one, holding what it held. The old log
    // is read after its state, so a write taken in between counts as possible.
    void swapModule() {
        const ModuleConfig held = module->config();
        absorbExchanges();
        module = std::make_unique<VirtualModule>(held);
        module->setLiveChanges(false);
    }

    void injectFault() {
        static const int commands[] = {-1, cmd::getMediaActions, cmd::getGearActions, cmd::getHornActions, cmd::getAccActions,
                                       cmd::setMediaAction, cmd::setGearAction, cmd::setHornAction, cmd::setAccAction,
                                       cmd::getPressedButtons, cmd::getCurrentBrightness};
        module->addFault({.kind = static_cast<FaultKind>(pick(5)),
                          .command = commands[pick(static_cast<int>(std::size(commands)))],
                          .afterBytes = static_cast<std::size_t>(pick(12)),
                          .delayMs = ScaledMs(60 + static_cast<unsigned>(pick(240))),
                          .extra = Bytes(1 + static_cast<std::size_t>(pick(3)), static_cast<std::uint8_t>(pick(256))),
                          .status = static_cast<std::uint8_t>(1 + pick(5))});
        ++faults;
    }

    void userAction() {
        const int what = pick(10);
        if (what < 6 && view.listRowCount() > 0) {
            HandleListDoubleClick(app, pick(view.listRowCount()), 1 + pick(16));
            const auto& combo = view.comboEditor();
            if (combo.open && combo.style == ComboEditorStyle::EditableDropDown && pick(2) == 0)
                view.typeIntoComboEditor(std::to_wstring(pick(256)));
            else if (combo.open && !combo.items.empty())
                view.pickComboItem(pick(static_cast<int>(combo.items.size())));
            else if (view.irEditor().open)
                view.typeIntoIrEditor(FormatIrCode(static_cast<std::uint32_t>(random())));
            HandleBackgroundPress(app, false);
            checkStatus("an edit");
        } else if (what < 9) {
            view.tabSelect(pick(4));
            HandleTabChange(app);
            checkStatus("a tab switch");
        } else {
            Report(app, WriteAllActions(app.module));
            checkStatus("writing all tables");
        }
    }

    void runRound(bool withFaults, Clock::time_point end) {
        if (app.module.link.connected) HandleEvent(app, UiEvent::Connect);
        if (faulty) swapModule();
        absorbExchanges();
        faulty = false;
        connect();
        // Tables read during faults may be anything; start from the module's.
        ReloadAllActions(app);
        checkStatus("reading all tables");
        faulty = withFaults;
        for (auto nextPoll = Clock::now(); Clock::now() < end;) {
            if (!app.module.link.connected) swapModule(), connect();  // a hung-up module is gone for good
            if (Clock::now() >= nextPoll) {
                HandleTimer(app);
                checkStatus("a poll");
                nextPoll += milliseconds(200);
                continue;
            }
            if (faulty && pick(6) == 0) injectFault();
            userAction();
            std::this_thread::sleep_until(std::min(nextPoll, Clock::now() + milliseconds(pick(120))));
        }
        if (faulty) return;
        absorbExchanges();
        if (rowsOf(app.module.held, app.page.currentTable) != rowsOf(module->config(), app.page.currentTable))
            violation("after a clean round the table on show is not the module's");
    }

    void checkModule() {
        absorbExchanges();
        for (std::uint32_t t = 0; t < 4; ++t) {
            const auto rows = rowsOf(module->config(), t);
            if (rows.size() != allowed[t].size()) violation("table " + std::to_string(t) + " changed its length");
            for (std::size_t r = 0; r < std::min(rows.size(), allowed[t].size()); ++r)
                if (std::find(allowed[t][r].begin(), allowed[t][r].end(), rows[r]) == allowed[t][r].end())
                    violation("table " + std::to_string(t) + " row " + std::to_string(r) + " holds a record never sent");
        }
    }
};

unsigned numberArgument(int argc, char** argv, const std::string& name, unsigned fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned seconds = numberArgument(argc, argv, "--seconds", 120);
    const unsigned seed = numberArgument(argc, argv, "--seed", std::random_device{}());
    std::printf("soak: %u s, seed %u\n", seconds, seed);

    Soak soak(seed);
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (bool withFaults = true; Clock::now() < end; withFaults = !withFaults)
        soak.runRound(withFaults, std::min(end, Clock::now() + milliseconds(withFaults ? 3000 : 2000)));
    // The last word goes to a clean round, so that the module's state is settled.
    soak.runRound(false, Clock::now() + milliseconds(2000));
    soak.checkModule();

    std::printf("exchanges done: %ld\nfaults injected: %ld\nfailures reported: %ld\n", soak.exchanges, soak.faults,
                soak.failures);
    const bool passed = soak.violations == 0;
    std::printf("%d passed, %d failed\n", passed ? 1 : 0, passed ? 0 : 1);
    return passed ? 0 : 1;
}
