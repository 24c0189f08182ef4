#pragma once
// Shared by the benchmarks that read four full tables from a virtual module
// pacing its bytes at 115200 baud: the tables, and the time bytes take on
// that line (10 bits a byte).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <initializer_list>

#include "sim/virtual_module.h"

constexpr std::size_t kBenchRows = 255;
// Four count bytes and the records of four full tables.
constexpr std::size_t kFullTableReplyBytes = 4 + kBenchRows * (3 * MediaAction::kSize + AccAction::kSize);

inline ModuleConfig FullTables() {
    ModuleConfig config = FactoryConfig();
    ForEachTable(config, [](const TableInfo&, auto& table) {
        table.resize(kBenchRows);
        for (std::size_t i = 0; i < kBenchRows * table[0].bytes.size(); ++i)
            table[i / table[0].bytes.size()].bytes[i % table[0].bytes.size()] = static_cast<std::uint8_t>(i);
    });
    return config;
}

inline double WireSeconds(std::size_t bytes) { return static_cast<double>(bytes) * 10 / 115200; }

// A line printed after the benchmarks, with a ratio one of them left behind.
struct Summary {
    const char* format;
    const double& ratio;
};

// Runs the benchmarks, then prints each summary line.
inline int RunBenchmarks(int argc, char** argv, std::initializer_list<Summary> summaries) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const Summary& summary : summaries) std::printf(summary.format, summary.ratio);
    return 0;
}
