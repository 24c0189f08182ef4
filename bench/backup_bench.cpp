// korvelctl backup of four full tables (255 rows each) from a virtual module
// pacing its bytes at 115200 baud, without the settle wait: the measured time
// against the time the bytes take on the wire, at most 1.05. What is left
// above 1 is korvelctl's and its link's own: opening the port, a wake-up for
// each arrival, the file written.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "bench_support.h"
#include "cli/korvelctl.h"
#include "device/text.h"

namespace {

double g_ratio = 0;

void BackupOfFourFullTables(benchmark::State& state) {
    VirtualModule module(FullTables());
    module.setPacing(true);
    const auto file = std::filesystem::temp_directory_path() / "korvelctl-backup-bench.cfg";
    const std::vector<std::wstring> args = {L"--port", WidenBytes(module.portPath()), L"--settle", L"0",
                                            L"backup", file.wstring()};
    // A module held up for longer than the gap between bytes (a busy machine) ends a backup short; say so.
    std::wstring failure;
    const CliOutput quiet{[](const std::wstring&) {}, [&](const std::wstring& line) { failure += line; }};
    // Eight command bytes out; the four settings (2 + 1 + 1 + 2 bytes) and the tables back.
    const double wireSeconds = WireSeconds(8 + 6 + kFullTableReplyBytes);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (RunKorvelctl(args, quiet) != 0) return state.SkipWithError(("backup failed: " + ToUtf8(failure)).c_str());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    std::filesystem::remove(file);
    g_ratio = total / (wireSeconds * static_cast<double>(state.iterations()));
    state.counters["wire_ms"] = wireSeconds * 1000;
    state.counters["ratio"] = g_ratio;
}
BENCHMARK(BackupOfFourFullTables)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, {{"backup / wire time: %.3f (target at most 1.05)\n", g_ratio}});
}
