// korvelctl restore of four full tables (255 rows each).
//
// On four virtual modules at once, each pacing its bytes at 115200 baud,
// against the same restore on one of them. Each port runs in a thread of its
// own, so four take about as long as one: the ratio should be at most 1.3 (one
// after another it would be 4). The restore is the whole one a user runs: the
// module's configuration kept first, every setting and row written, all read
// back. Without the settle wait, which every port spends at the same time and
// which would only hide the exchanges' share.
//
// On one module that does not pace its bytes, with --no-keep-previous,
// against a plain client replaying the same exchanges: what korvelctl and its
// link add to the exchanges themselves. At most 1.05.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "bench_support.h"
#include "cli/korvelctl.h"
#include "config/config_file.h"
#include "device/text.h"
#include "plain_client.h"

namespace {

double g_fourToOne = 0, g_toPlainClient = 0;

// The seconds `run` takes, or -1 when it fails.
template <class Run>
double SecondsOf(Run run) {
    const auto start = std::chrono::steady_clock::now();
    const bool done = run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return done ? seconds : -1;
}

double SecondsOf(const std::vector<std::wstring>& args) {
    const CliOutput quiet{[](const std::wstring&) {}, [](const std::wstring&) {}};
    return SecondsOf([&] { return RunKorvelctl(args, quiet) == 0; });
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// A file of four full tables unlike the modules', so that every restore
// reads and writes as much as the first; its path, or "" when it cannot be written.
std::wstring FileUnlikeTheModules(const std::filesystem::path& scratch) {
    ModuleConfig file = FullTables();
    ForEachTable(file, [](const TableInfo&, auto& rows) {
        for (auto& row : rows)
            for (auto& byte : row.bytes) byte = static_cast<std::uint8_t>(~byte);
    });
    std::filesystem::create_directories(scratch);
    const std::wstring path = WidenBytes((scratch / "full.cfg").string());
    return Succeeded(SaveConfigFile(path, file)) ? path : L"";
}

void RestoreOnFourModulesAtOnce(benchmark::State& state) {
    std::vector<std::unique_ptr<VirtualModule>> modules;
    const auto scratch = std::filesystem::temp_directory_path() / "korvelctl-restore-bench";
    const std::wstring path = FileUnlikeTheModules(scratch);
    if (path.empty()) return state.SkipWithError("cannot write the file");
    const std::vector<std::wstring> restore = {L"--settle", L"0", L"restore", path, L"--keep-previous",
                                               WidenBytes((scratch / "kept").string())};
    std::vector<std::wstring> one = restore, four = restore;
    for (int i = 0; i < 4; ++i) {
        modules.push_back(std::make_unique<VirtualModule>(FullTables()));
        modules.back()->setPacing(true);
        const std::vector<std::wstring> port = {L"--port", WidenBytes(modules.back()->portPath())};
        four.insert(four.begin(), port.begin(), port.end());
        if (i == 0) one.insert(one.begin(), port.begin(), port.end());
    }
    // A module that already holds the file is only read: each restore starts
    // from modules that hold their own tables again.
    const auto timed = [&](const std::vector<std::wstring>& args) {
        for (const auto& module : modules) module->setConfig(FullTables());
        return SecondsOf(args);
    };
    double oneTotal = 0, fourTotal = 0;
    for (auto _ : state) {
        const double oneSeconds = timed(one), fourSeconds = timed(four);
        if (oneSeconds < 0 || fourSeconds < 0) return state.SkipWithError("a restore failed");
        oneTotal += oneSeconds;
        fourTotal += fourSeconds;
        state.SetIterationTime(fourSeconds);
    }
    std::filesystem::remove_all(scratch);
    g_fourToOne = fourTotal / oneTotal;
    state.counters["one_s"] = oneTotal / static_cast<double>(state.iterations());
    state.counters["four_s"] = fourTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = g_fourToOne;
}
BENCHMARK(RestoreOnFourModulesAtOnce)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void RestoreAgainstPlainClient(benchmark::State& state) {
    VirtualModule module(FullTables());
    const auto scratch = std::filesystem::temp_directory_path() / "korvelctl-restore-bench";
    const std::wstring path = FileUnlikeTheModules(scratch);
    if (path.empty()) return state.SkipWithError("cannot write the file");
    const std::vector<std::wstring> restore = {L"--port", WidenBytes(module.portPath()), L"--settle", L"0",
                                               L"restore", path, L"--no-keep-previous"};
    // Every run starts from the module's own tables, as a module that already
    // holds the file is only read; the first restore shows the exchanges the
    // client replays.
    const auto fromItsOwnTables = [&](auto run) {
        module.setConfig(FullTables());
        return SecondsOf(run);
    };
    if (fromItsOwnTables(restore) < 0) return state.SkipWithError("a restore failed");
    const std::vector<Exchange> exchanges = module.exchanges();
    // In pairs, each side first in every other pair, as the second of a pair
    // tends to run faster; then the median of the pairs' ratios, as on a
    // machine others share, a pair that another program held up says nothing.
    std::vector<double> korvelctlSeconds, clientSeconds, ratios;
    for (auto _ : state) {
        const bool clientFirst = ratios.size() % 2 == 1;
        const auto replay = [&] { return ReplayExchanges(module.portPath(), exchanges); };
        double client = clientFirst ? fromItsOwnTables(replay) : 0;
        const double korvelctl = fromItsOwnTables(restore);
        if (!clientFirst) client = fromItsOwnTables(replay);
        if (korvelctl < 0 || client < 0) return state.SkipWithError("a restore or the plain client failed");
        korvelctlSeconds.push_back(korvelctl);
        clientSeconds.push_back(client);
        ratios.push_back(korvelctl / client);
        state.SetIterationTime(korvelctl);
    }
    std::filesystem::remove_all(scratch);
    g_toPlainClient = Median(ratios);
    state.counters["korvelctl_s"] = Median(korvelctlSeconds);
    state.counters["client_s"] = Median(clientSeconds);
    state.counters["ratio"] = g_toPlainClient;
}
BENCHMARK(RestoreAgainstPlainClient)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv,
                         {{"four modules at once / one module: %.3f (target at most 1.3)\n", g_fourToOne},
                          {"restore / plain client: %.3f (target at most 1.05)\n", g_toPlainClient}});
}
