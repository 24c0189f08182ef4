#pragma once
// A virtual module on a pseudo-terminal and an App connected to it through the
// in-memory window, with short link time-outs so that a silent module fails fast.

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "device/trace.h"
#include "sim/virtual_module.h"
#include "tests/app/memory_view.h"
#include "tests/time_scale.h"

using Bytes = std::vector<std::uint8_t>;
using Requests = std::vector<Bytes>;

inline ModuleConfig WithSettings(std::uint8_t brightness, std::uint8_t fullRepeat, std::uint16_t period,
                                 std::uint16_t resistance) {
    ModuleConfig c = FactoryConfig();
    std::tie(c.settings.maxBrightness, c.settings.irFullRepeat, c.settings.irRepeatPeriod, c.settings.defaultResistors) =
        std::tie(brightness, fullRepeat, period, resistance);
    return c;
}

struct ConnectedApp {
    explicit ConnectedApp(const ModuleConfig& initial = FactoryConfig()) : module(initial) {
        app.module.link.timeouts.settleMs = 0;
        app.module.link.timeouts.readConstant = ScaledMs(300);
        InitialiseMainControls(app);
        EXPECT_TRUE(app.module.link.open(module.portPath()));
        app.module.link.connected = true;
        module.clearExchanges();
        SetTraceHandler([this](TraceChannel channel, const std::wstring& text) {
            if (channel == TraceChannel::Debugger) traces.push_back(text);
        });
    }
    ~ConnectedApp() { SetTraceHandler({}); }

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
    std::vector<std::wstring> traces;  // the debugger channel, one entry per line
};
