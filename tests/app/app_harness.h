#pragma once
// A fresh application on the in-memory window, with the virtual module on a
// pseudo-terminal as the only port listed, and link time-outs short enough
// for a silent module to cost a test a fraction of a second.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/connection.h"
#include "app/main_window.h"
#include "app/memory_view.h"
#include "app/resource_ids.h"
#include "sim/virtual_module.h"

using Bytes = std::vector<std::uint8_t>;

struct AppHarness {
    explicit AppHarness(ModuleConfig config = FactoryConfig()) : module(std::move(config)) {
        app.link.timeouts.settleMs = 0;
        app.link.timeouts.readConstant = 300;
        module.setLiveChanges(false);
        InitialiseMainControls(app);
        ShowPortList(app, {{module.portPath(), "Korvel virtual module"}});
    }

    // Connects through the button and forgets the traffic of the connect.
    void connect() {
        HandleCommand(app, IDC_CONNECT, 0);
        ASSERT_TRUE(app.link.connected) << std::string(status().begin(), status().end());
        module.clearExchanges();
    }

    std::wstring status() const { return view.getText(IDC_STATUS); }

    // The requests the module received, in order.
    std::vector<Bytes> requests() const {
        std::vector<Bytes> out;
        for (const auto& exchange : module.exchanges()) out.push_back(exchange.request);
        return out;
    }

    VirtualModule module;
    MemoryView view;
    App app{view};
};

// A request of the record writes: command, slot, then the record's bytes.
template <class R>
Bytes RecordRequest(std::uint8_t command, std::uint8_t slot, const R& record) {
    Bytes request(2 + R::kSize);
    request[0] = command;
    request[1] = slot;
    std::copy(record.bytes.begin(), record.bytes.end(), request.begin() + 2);
    return request;
}
