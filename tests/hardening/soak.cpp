// The soak: the connected program logic on the in-memory window, polling at
// 5 Hz for a bounded time while the virtual module injects random faults and
// a simulated user edits cells, switches tabs and writes all tables.
//   korvel_soak [--seconds N] [--seed N]   (default 120 s; KORVEL_SOAK_SECONDS too)
// Rounds with faults alternate with clean rounds. Every round starts on a
// freshly opened line, and a round after one with faults on a fresh module
// holding what the old one held (the old one may still be sending a late
// reply, or waiting to hang up), so a clean round must run without one failure. Checked throughout: every status
// text is one of the system's, and after each clean round the table on show is
// the module's. Checked at the end: each row of the module holds what the last
// write of a clean round put there, or a record the program sent for that row
// in a round with faults since.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "actions/actions_list.h"
#include "actions/cell_text.h"
#include "actions/cell_editing.h"
#include "actions/write_all.h"
#include "app/connection.h"
#include "app/main_window.h"
#include "app/memory_view.h"
#include "app/resource_ids.h"
#include "device/text.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kPollPeriod = milliseconds(200);
constexpr auto kFaultyRound = milliseconds(3000);
constexpr auto kCleanRound = milliseconds(2000);

// The texts the soak's actions may leave on the status line.
const wchar_t* const kTexts[] = {
    L"Action updated", L"setAction failed (exception).", L"Invalid Button.", L"Invalid IR.", L"Invalid RA.",
    L"Invalid RB.", L"Media actions loaded.", L"Gear actions loaded.", L"Horn actions loaded.",
    L"ACC actions loaded.", L"Get actions failed (exception).", L"Loading actions from device failed (exception).",
    L"All actions written to device.", L"Writing actions to device failed (exception).",
    L"Protocol error occured: Fewer bytes than expected.", L"Serial error occured: Read failed.",
    L"Serial error occured: Write failed.", L"Connected. Live polling at 5 Hz.",
};
// Texts that end in a number.
const wchar_t* const kNumberedTexts[] = {
    L"Updating action failed, response: ", L"Failed writing media action ", L"Failed writing gear action ",
    L"Failed writing horn action ", L"Failed writing ACC action ",
};

bool isSystemText(const std::wstring& text) {
    for (const wchar_t* t : kTexts)
        if (text == t) return true;
    for (const wchar_t* prefix : kNumberedTexts) {
        const std::wstring p = prefix;
        if (text.size() > p.size() && text.compare(0, p.size(), p) == 0 &&
            text.find_first_not_of(L"0123456789", p.size()) == std::wstring::npos)
            return true;
    }
    return false;
}

bool isFailure(const std::wstring& text) {
    for (const wchar_t* word : {L"fail", L"Fail", L"error", L"Invalid"})
        if (text.find(word) != std::wstring::npos) return true;
    return false;
}

// The record writes, by table.
int tableOfWrite(std::uint8_t command) {
    switch (command) {
    case cmd::setMediaAction: return Media;
    case cmd::setGearAction: return Gears;
    case cmd::setHornAction: return Horn;
    case cmd::setAccAction: return Acc;
    default: return -1;
    }
}

template <class R>
std::vector<Bytes> rowsOf(const std::vector<R>& table) {
    std::vector<Bytes> rows;
    for (const auto& r : table) rows.emplace_back(r.bytes.begin(), r.bytes.end());
    return rows;
}

std::vector<Bytes> moduleRows(const ModuleConfig& c, int table) {
    switch (table) {
    case Media: return rowsOf(c.media);
    case Gears: return rowsOf(c.gears);
    case Horn: return rowsOf(c.horn);
    default: return rowsOf(c.acc);
    }
}

std::vector<Bytes> heldRows(const ActionsPage& page, std::uint32_t table) {
    switch (table) {
    case Media: return rowsOf(page.mediaActions);
    case Gears: return rowsOf(page.gearActions);
    case Horn: return rowsOf(page.hornActions);
    default: return rowsOf(page.accActions);
    }
}

struct Soak {
    explicit Soak(unsigned seed) : random(seed), module(std::make_unique<VirtualModule>()) {
        app.link.timeouts.settleMs = 0;
        app.link.timeouts.readConstant = ScaledMs(250);
        module->setLiveChanges(false);
        const ModuleConfig start = module->config();
        for (int t = 0; t < 4; ++t)
            for (const Bytes& row : moduleRows(start, t)) allowed[t].push_back({row});
        InitialiseMainControls(app);
    }

    std::mt19937 random;
    std::unique_ptr<VirtualModule> module;
    MemoryView view;
    App app{view};
    bool faulty = false;
    // The records each row of the module may hold now.
    std::vector<std::vector<Bytes>> allowed[4];

    long exchanges = 0, faults = 0, failures = 0, actions = 0, polls = 0, replugs = 0, rounds = 0;
    std::vector<std::string> violations;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void violation(const std::string& what) {
        if (violations.size() < 20) std::printf("VIOLATION: %s\n", what.c_str());
        violations.push_back(what);
    }

    // What the module received since the last look: record writes replace a
    // row's record in a clean round and add a possible one in a faulty round.
    void absorbExchanges() {
        for (const Exchange& e : module->exchanges()) {
            ++exchanges;
            const int table = tableOfWrite(e.request[0]);
            if (table < 0) continue;
            const std::size_t slot = e.request[1];
            if (slot >= allowed[table].size()) continue;  // refused: no such row
            Bytes record(e.request.begin() + 2, e.request.end());
            if (faulty)
                allowed[table][slot].push_back(std::move(record));
            else
                allowed[table][slot] = {std::move(record)};
        }
        module->clearExchanges();
    }

    void checkStatus(const char* after) {
        const std::wstring text = view.getText(IDC_STATUS);
        if (!isSystemText(text)) violation(std::string("not a text of the system after ") + after + ": " + ToUtf8(text));
        if (!isFailure(text)) return;
        ++failures;
        if (!faulty) violation(std::string("failure in a clean round after ") + after + ": " + ToUtf8(text));
    }

    void connect() {
        ShowPortList(app, {{module->portPath(), "Korvel virtual module"}});
        HandleCommand(app, IDC_CONNECT, 0);
        if (!app.link.connected) violation("connecting failed: " + ToUtf8(view.getText(IDC_STATUS)));
    }

    // Another module in place of this one, holding what this one held. The
    // old one's log is read after its state, so that a write it takes in
    // between is still counted as possible.
    void swapModule() {
        const ModuleConfig held = module->config();
        absorbExchanges();
        module.reset();
        module = std::make_unique<VirtualModule>(held);
        module->setLiveChanges(false);
    }

    // A hung-up module is gone for good: plug in another.
    void replug() {
        swapModule();
        ++replugs;
        connect();
    }

    void injectFault() {
        static const int commands[] = {-1, cmd::getMediaActions, cmd::getGearActions, cmd::getHornActions,
                                       cmd::getAccActions, cmd::setMediaAction, cmd::setGearAction,
                                       cmd::setHornAction, cmd::setAccAction, cmd::getPressedButtons,
                                       cmd::getCurrentBrightness};
        static const FaultKind kinds[] = {FaultKind::Silence, FaultKind::Late, FaultKind::Extra, FaultKind::Refuse,
                                          FaultKind::HangUp};
        Fault fault;
        fault.kind = kinds[pick(5)];
        fault.command = commands[pick(static_cast<int>(std::size(commands)))];
        fault.afterBytes = static_cast<std::size_t>(pick(12));
        fault.delayMs = ScaledMs(60 + static_cast<unsigned>(pick(240)));
        fault.extra.assign(1 + static_cast<std::size_t>(pick(3)), static_cast<std::uint8_t>(pick(256)));
        fault.status = static_cast<std::uint8_t>(1 + pick(5));
        module->addFault(fault);
        ++faults;
    }

    void editCell() {
        const int rows = view.listRowCount();
        if (rows == 0) return;
        const int row = pick(rows);
        const int column = 1 + pick(16);
        HandleListDoubleClick(app, row, column);
        if (view.comboEditor().open) {
            const auto& items = view.comboEditor().items;
            if (view.comboEditor().style == ComboEditorStyle::EditableDropDown && pick(2) == 0)
                view.typeIntoComboEditor(std::to_wstring(pick(256)));
            else if (!items.empty())
                view.pickComboItem(pick(static_cast<int>(items.size())));
            HandleBackgroundPress(app, false);
        } else if (view.irEditor().open) {
            view.typeIntoIrEditor(FormatIrCode(static_cast<std::uint32_t>(random())));
            HandleBackgroundPress(app, false);
        }
        checkStatus("an edit");
    }

    void userAction() {
        ++actions;
        const int what = pick(10);
        if (what < 6) {
            editCell();
        } else if (what < 9) {
            view.tabSelect(pick(4));
            HandleTabChange(app);
            checkStatus("a tab switch");
        } else {
            RunGuarded(app, [&] { WriteAllActions(app); });
            checkStatus("writing all tables");
        }
    }

    void poll() {
        ++polls;
        RunGuarded(app, [&] { PollPressedButtons(app); });
        checkStatus("a poll");
    }

    void runRound(bool withFaults, Clock::time_point end) {
        ++rounds;
        if (app.link.connected) HandleCommand(app, IDC_CONNECT, 0);
        if (app.link.isOpen()) violation("disconnecting left the port open");
        if (faulty) swapModule();
        absorbExchanges();
        faulty = false;
        connect();
        // Tables read during faults may be anything; start from the module's.
        RunGuarded(app, [&] { ReloadAllActions(app); });
        checkStatus("reading all tables");
        faulty = withFaults;

        auto nextPoll = Clock::now();
        while (Clock::now() < end) {
            if (!app.link.connected) replug();
            if (Clock::now() >= nextPoll) {
                poll();
                nextPoll += kPollPeriod;
                continue;
            }
            if (faulty && pick(6) == 0) injectFault();
            userAction();
            std::this_thread::sleep_until(std::min(nextPoll, Clock::now() + milliseconds(pick(120))));
        }
        if (!faulty) {
            absorbExchanges();
            const auto shown = heldRows(app.page, app.page.currentTable);
            if (shown != moduleRows(module->config(), static_cast<int>(app.page.currentTable)))
                violation("after a clean round the table on show is not the module's");
        }
    }

    void checkModule() {
        absorbExchanges();
        const ModuleConfig now = module->config();
        for (int t = 0; t < 4; ++t) {
            const auto rows = moduleRows(now, t);
            if (rows.size() != allowed[t].size()) {
                violation("table " + std::to_string(t) + " changed its length");
                continue;
            }
            for (std::size_t r = 0; r < rows.size(); ++r) {
                bool sent = false;
                for (const Bytes& record : allowed[t][r]) sent = sent || record == rows[r];
                if (!sent) violation("table " + std::to_string(t) + " row " + std::to_string(r) + " holds a record never sent");
            }
        }
    }
};

unsigned numberArgument(int argc, char** argv, const char* name, unsigned fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == name) return static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const char* fromEnvironment = std::getenv("KORVEL_SOAK_SECONDS");
    const unsigned seconds =
        numberArgument(argc, argv, "--seconds", fromEnvironment ? static_cast<unsigned>(std::atoi(fromEnvironment)) : 120);
    const unsigned seed = numberArgument(argc, argv, "--seed", static_cast<unsigned>(std::random_device{}()));
    std::printf("soak: %u s, seed %u\n", seconds, seed);

    Soak soak(seed);
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    bool withFaults = true;
    while (Clock::now() < end) {
        soak.runRound(withFaults, std::min(end, Clock::now() + (withFaults ? kFaultyRound : kCleanRound)));
        withFaults = !withFaults;
    }
    // The last word goes to a clean round, so that the module's state is settled.
    soak.runRound(false, Clock::now() + kCleanRound);
    soak.checkModule();

    std::printf("exchanges done: %ld\nfaults injected: %ld\nfailures reported: %ld\n", soak.exchanges, soak.faults,
                soak.failures);
    std::printf("rounds: %ld, user actions: %ld, polls: %ld, replugs after a hang-up: %ld\n", soak.rounds,
                soak.actions, soak.polls, soak.replugs);
    const bool passed = soak.violations.empty();
    std::printf("%d passed, %d failed\n", passed ? 1 : 0, passed ? 0 : 1);
    return passed ? 0 : 1;
}
