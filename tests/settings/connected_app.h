#pragma once
// A virtual module on a pseudo-terminal and an App connected to it through the
// in-memory window, with short link time-outs so that a silent module fails fast.

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/memory_view.h"
#include "app/resource_ids.h"
#include "sim/virtual_module.h"
#include "tests/time_scale.h"

using Bytes = std::vector<std::uint8_t>;
using Requests = std::vector<Bytes>;

inline ModuleConfig WithSettings(std::uint8_t brightness, std::uint8_t fullRepeat, std::uint16_t period,
                                 std::uint16_t resistance) {
    ModuleConfig c = FactoryConfig();
    std::tie(c.maxBrightness, c.irFullRepeat, c.irRepeatPeriod, c.defaultResistance) =
        std::tie(brightness, fullRepeat, period, resistance);
    return c;
}

struct ConnectedApp {
    explicit ConnectedApp(const ModuleConfig& initial = FactoryConfig()) : module(initial) {
        app.link.timeouts.settleMs = 0;
        app.link.timeouts.readConstant = ScaledMs(300);
        InitialiseMainControls(app);
        EXPECT_TRUE(app.link.open(module.portPath()));
        app.link.connected = true;
        module.clearExchanges();
    }

    std::wstring status() const { return view.getText(IDC_STATUS); }

    // The requests the module received, in order.
    Requests requests() const {
        Requests out;
        for (const Exchange& e : module.exchanges()) out.push_back(e.request);
        return out;
    }

    VirtualModule module;
    MemoryView view;
    App app{view};
};
