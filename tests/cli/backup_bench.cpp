// korvelctl backup of four full tables (255 rows each) from a virtual module
// pacing its bytes at 115200 baud, with the default 2000 ms settle wait; its
// budget is 1.2 x the wire time + the settle wait.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "cli/korvelctl.h"
#include "device/text.h"
#include "tests/bench/bench_support.h"

void BackupOfFourFullTables(benchmark::State& state) {
    VirtualModule module(FullTables());
    module.setPacing(true);
    const auto file = std::filesystem::temp_directory_path() / "korvelctl-backup-bench.cfg";
    const std::vector<std::wstring> args = {L"--port", WidenBytes(module.portPath()), L"backup", file.wstring()};
    const CliOutput quiet{[](const std::wstring&) {}, [](const std::wstring&) {}};
    // Eight command bytes out; the four settings (2 + 1 + 1 + 2 bytes) and the tables back.
    const double budget = 1.2 * WireSeconds(8 + 6 + kFullTableReplyBytes) + LinkTimeouts{}.settleMs / 1000.0;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (RunKorvelctl(args, quiet) != 0) return state.SkipWithError("backup failed");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    std::filesystem::remove(file);
    state.counters["budget_s"] = budget;
    state.counters["of_budget"] = total / static_cast<double>(state.iterations()) / budget;
}
BENCHMARK(BackupOfFourFullTables)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
