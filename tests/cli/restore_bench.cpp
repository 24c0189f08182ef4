// korvelctl restore of four full tables (255 rows each) on four virtual
// modules at once, each pacing its bytes at 115200 baud, against the same
// restore on one of them. Each port runs in a thread of its own, so four take
// about as long as one: the ratio should be at most 1.3 (one after another it
// would be 4). The restore is the whole one a user runs: the module's
// configuration kept first, every setting and row written, all read back.
// Without the settle wait, which every port spends at the same time and
// which would only hide the exchanges' share.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "cli/korvelctl.h"
#include "config/config_file.h"
#include "device/text.h"
#include "tests/bench/bench_support.h"

namespace {

double g_ratio = 0;

double SecondsOf(const std::vector<std::wstring>& args) {
    const CliOutput quiet{[](const std::wstring&) {}, [](const std::wstring&) {}};
    const auto start = std::chrono::steady_clock::now();
    const int status = RunKorvelctl(args, quiet);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == 0 ? seconds : -1;
}

void RestoreOnFourModulesAtOnce(benchmark::State& state) {
    // The modules hold full tables unlike the file's, so every iteration reads
    // and writes as much as the first.
    ModuleConfig file = FullTables();
    ForEachTable(file, [](const TableInfo&, auto& rows) {
        for (auto& row : rows)
            for (auto& byte : row.bytes) byte = static_cast<std::uint8_t>(~byte);
    });
    std::vector<std::unique_ptr<VirtualModule>> modules;
    const auto scratch = std::filesystem::temp_directory_path() / "korvelctl-restore-bench";
    std::filesystem::create_directories(scratch);
    const std::wstring path = WidenBytes((scratch / "full.cfg").string());
    if (!Succeeded(SaveConfigFile(path, file))) return state.SkipWithError("cannot write the file");
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
    double oneTotal = 0, fourTotal = 0;
    for (auto _ : state) {
        const double oneSeconds = SecondsOf(one), fourSeconds = SecondsOf(four);
        if (oneSeconds < 0 || fourSeconds < 0) return state.SkipWithError("a restore failed");
        oneTotal += oneSeconds;
        fourTotal += fourSeconds;
        state.SetIterationTime(fourSeconds);
    }
    std::filesystem::remove_all(scratch);
    g_ratio = fourTotal / oneTotal;
    state.counters["one_s"] = oneTotal / static_cast<double>(state.iterations());
    state.counters["four_s"] = fourTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = g_ratio;
}
BENCHMARK(RestoreOnFourModulesAtOnce)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, "four modules at once / one module: %.3f (target at most 1.3)\n", g_ratio);
}
