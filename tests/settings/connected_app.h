#pragma once
// A virtual module on a pseudo-terminal and an App connected to it through the
// in-memory window, with short link time-outs so that a silent module fails fast.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/memory_view.h"
#include "app/resource_ids.h"
#include "sim/virtual_module.h"

struct ConnectedApp {
    explicit ConnectedApp(const ModuleConfig& initial = FactoryConfig()) : module(initial) {
        app.link.timeouts.settleMs = 0;
        app.link.timeouts.readConstant = 300;
        InitialiseMainControls(app);
        EXPECT_TRUE(app.link.open(module.portPath()));
        app.link.connected = true;
        module.clearExchanges();
    }

    std::wstring status() const { return view.getText(IDC_STATUS); }

    // The requests the module received, in order.
    std::vector<std::vector<std::uint8_t>> requests() const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const Exchange& e : module.exchanges()) out.push_back(e.request);
        return out;
    }

    VirtualModule module;
    MemoryView view;
    App app{view};
};

using Requests = std::vector<std::vector<std::uint8_t>>;
