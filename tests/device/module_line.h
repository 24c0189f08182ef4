#pragma once
// A virtual module and a SerialLink opened on its pseudo-terminal with short
// time-outs: no settle wait, and a silent module gives up after a fraction of
// a second instead of five. The gap between bytes keeps its real 50 ms.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "device/protocol.h"
#include "device/serial_link.h"
#include "sim/virtual_module.h"

using Bytes = std::vector<std::uint8_t>;

inline LinkTimeouts ShortTimeouts() {
    LinkTimeouts t;
    t.settleMs = 0;
    t.readConstant = 250;
    t.readMultiplier = 5;
    return t;
}

struct ModuleLine : ::testing::Test {
    explicit ModuleLine(const ModuleConfig& initial = FactoryConfig()) : module(initial) {
        link.timeouts = ShortTimeouts();
    }
    void SetUp() override { ASSERT_TRUE(link.open(module.portPath())); }

    std::vector<Bytes> requests() const {
        std::vector<Bytes> out;
        for (const Exchange& e : module.exchanges()) out.push_back(e.request);
        return out;
    }
    // The reply bytes the module sent for its last exchange.
    Bytes lastReply() const {
        auto all = module.exchanges();
        return all.empty() ? Bytes{} : all.back().reply;
    }

    VirtualModule module;
    SerialLink link;
};

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
