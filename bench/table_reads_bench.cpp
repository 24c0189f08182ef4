// A full round of the four table reads, 255 rows each, over a pseudo-terminal
// with the virtual module pacing its bytes at 115200 baud. The figure that
// matters is the ratio of the measured time to the time the bytes take on the
// wire (10 bits a byte, both directions): what the link's per-record reads,
// polls and wake-ups add on top of the line itself.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench_support.h"
#include "device/protocol.h"

namespace {

double g_ratio = 0;

void FullRoundOfTableReads(benchmark::State& state) {
    VirtualModule module(FullTables());
    module.setPacing(true);
    SerialLink link;
    link.timeouts.settleMs = 0;
    if (!link.open(module.portPath())) {
        state.SkipWithError("cannot open the virtual module's line");
        return;
    }
    const double wireSeconds = WireSeconds(4 + kFullTableReplyBytes);  // four command bytes out
    double measured = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        auto media = readTable<MediaAction>(link);
        auto gears = readTable<GearAction>(link);
        auto horn = readTable<HornAction>(link);
        auto acc = readTable<AccAction>(link);
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (media.size() + gears.size() + horn.size() + acc.size() != 4 * kBenchRows) {
            state.SkipWithError("a table came back short");
            return;
        }
        benchmark::DoNotOptimize(acc.data());
    }
    g_ratio = measured / (wireSeconds * static_cast<double>(state.iterations()));
    state.counters["wire_ms"] = wireSeconds * 1000;
    state.counters["ratio"] = g_ratio;
}

BENCHMARK(FullRoundOfTableReads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, {{"measured / wire time: %.3f (target below 1.10)\n", g_ratio}});
}
