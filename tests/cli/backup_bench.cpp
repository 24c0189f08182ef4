// korvelctl backup of four full tables (255 rows each) from a virtual module
// that paces its bytes at 115200 baud, with the default 2000 ms settle wait.
// The figure reported is the measured time over the time the bytes take on
// the wire plus the settle wait; the budget is 1.2 x the wire time + 2 s.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/korvelctl.h"
#include "device/text.h"
#include "tests/bench/bench_support.h"

namespace {

void BackupOfFourFullTables(benchmark::State& state) {
    VirtualModule module(FullTables());
    module.setPacing(true);
    const auto file = std::filesystem::temp_directory_path() / "korvelctl-backup-bench.cfg";
    const std::vector<std::wstring> args = {L"--port", WidenBytes(module.portPath()), L"backup",
                                            WidenBytes(file.string())};
    const CliOutput quiet{[](const std::wstring&) {}, [](const std::wstring&) {}};

    // Eight command bytes out; the four settings (2 + 1 + 1 + 2 bytes) and the tables back.
    const double wireSeconds = WireSeconds(8 + 6 + kFullTableReplyBytes);
    const double settleSeconds = LinkTimeouts{}.settleMs / 1000.0;
    double measured = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = RunKorvelctl(args, quiet);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            state.SkipWithError("backup failed");
            return;
        }
        state.SetIterationTime(seconds);
        measured += seconds;
    }
    std::filesystem::remove(file);
    const double mean = measured / static_cast<double>(state.iterations());
    state.counters["wire_s"] = wireSeconds;
    state.counters["ratio"] = mean / (wireSeconds + settleSeconds);
    state.counters["over_wire"] = (mean - settleSeconds) / wireSeconds;
    std::printf("backup: %.3f s measured, %.3f s wire + %.3f s settle: measured / (wire + settle) = %.3f, "
                "(measured - settle) / wire = %.3f (budget 1.2)\n",
                mean, wireSeconds, settleSeconds, mean / (wireSeconds + settleSeconds),
                (mean - settleSeconds) / wireSeconds);
}

BENCHMARK(BackupOfFourFullTables)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
