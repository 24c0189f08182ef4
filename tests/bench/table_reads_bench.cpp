// A full round of the four table reads, 255 rows each, over a pseudo-terminal
// with the virtual module pacing its bytes at 115200 baud. The figure that
// matters is the ratio of the measured time to the time the bytes take on the
// wire (10 bits a byte, both directions): what the link's per-record reads,
// polls and wake-ups add on top of the line itself.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "device/protocol.h"
#include "sim/virtual_module.h"

namespace {

constexpr std::size_t kRows = 255;
double g_ratio = 0;

template <class R>
std::vector<R> FullTable() {
    std::vector<R> rows(kRows);
    for (std::size_t i = 0; i < kRows; ++i)
        for (std::size_t k = 0; k < R::kSize; ++k) rows[i].bytes[k] = static_cast<std::uint8_t>(i + k);
    return rows;
}

void FullRoundOfTableReads(benchmark::State& state) {
    ModuleConfig config = FactoryConfig();
    config.media = FullTable<MediaAction>();
    config.gears = FullTable<GearAction>();
    config.horn = FullTable<HornAction>();
    config.acc = FullTable<AccAction>();
    VirtualModule module(config);
    module.setPacing(true);
    SerialLink link;
    link.timeouts.settleMs = 0;
    if (!link.open(module.portPath())) {
        state.SkipWithError("cannot open the virtual module's line");
        return;
    }
    // Four command bytes out; four count bytes and the records back.
    const std::size_t bytes = 4 + 4 + kRows * (3 * MediaAction::kSize + AccAction::kSize);
    const double wireSeconds = static_cast<double>(bytes) * 10 / 115200;
    double measured = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        auto media = getMediaActions(link);
        auto gears = getGearActions(link);
        auto horn = getHornActions(link);
        auto acc = getAccActions(link);
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (media.size() + gears.size() + horn.size() + acc.size() != 4 * kRows) {
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("measured / wire time: %.3f (target below 1.10)\n", g_ratio);
    return 0;
}
