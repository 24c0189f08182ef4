#pragma once
// A fresh application on the in-memory window, with the virtual module on a pseudo-terminal as the only port listed
// (after start-up has listed the machine's, without the virtual modules of other programs) and a read deadline of a
// second. The debugger channel's lines are kept.

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/actions_list.h"
#include "app/app_state.h"
#include "app/cell_editing.h"
#include "app/connection.h"
#include "app/main_window.h"
#include "device/protocol.h"
#include "device/text.h"
#include "device/trace.h"
#include "sim/virtual_module.h"
#include "tests/app/memory_view.h"
#include "tests/scratch.h"
#include "tests/time_scale.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/row_text.h"

using Bytes = std::vector<std::uint8_t>;
using Requests = std::vector<Bytes>;
using Texts = std::vector<std::wstring>;

inline ModuleConfig WithSettings(std::uint8_t brightness, std::uint8_t fullRepeat, std::uint16_t period,
                                 std::uint16_t resistance) {
    ModuleConfig c = FactoryConfig();
    c.settings = {brightness, fullRepeat, period, resistance};
    return c;
}

struct AppHarness {
    explicit AppHarness(ModuleConfig config = FactoryConfig()) : module(std::move(config)) {
        PrivateHome();
        app.module.link.timeouts.settleMs = 0;
        app.module.link.timeouts.readConstant = ScaledMs(1000);
        module.setLiveChanges(false);
        InitialiseMainControls(app);
        ShowPortList(app, {{module.portPath(), "Korvel virtual module"}});
        SetTraceHandler([this](TraceChannel channel, const std::wstring& text) {
            if (channel == TraceChannel::Debugger) traces.push_back(text);
        });
    }
    ~AppHarness() { SetTraceHandler({}); }

    // Connects through the button and forgets the traffic and texts of it.
    void connect() {
        HandleEvent(app, UiEvent::Connect);
        ASSERT_TRUE(app.module.link.connected) << ToUtf8(status());
        module.clearExchanges();
        view.statusLog.clear();
    }
    // Opens the line and marks it connected without reading anything.
    void open() {
        ASSERT_TRUE(app.module.link.open(module.portPath()));
        app.module.link.connected = true;
        module.clearExchanges();
    }

    std::wstring status() const { return view.getText(IDC_STATUS); }
    Texts displays() const {
        return {view.getText(IDC_PRESSED_MEDIA), view.getText(IDC_PRESSED_GEARS), view.getText(IDC_PRESSED_HORN),
                view.getText(IDC_PRESSED_ACC), view.getText(IDC_CURRENT_BRIGHTNESS)};
    }
    // The requests the module received, in order.
    Requests requests() const {
        Requests out;
        for (const auto& exchange : module.exchanges()) out.push_back(exchange.request);
        return out;
    }
    void showTab(int tab) {
        view.tabSelect(tab);
        HandleTabChange(app);
        module.clearExchanges();
    }

    VirtualModule module;
    MemoryView view;
    App app{view};
    Texts traces;  // the debugger channel, one entry per line
};

// An application whose line is open and marked connected, with nothing read yet.
struct OpenApp : AppHarness {
    explicit OpenApp(ModuleConfig config = FactoryConfig()) : AppHarness(std::move(config)) { open(); }
};

// A record write as it goes out: command, slot, the record's bytes.
template <class R>
Bytes RecordRequest(std::uint8_t command, std::uint8_t slot, const R& record) {
    Bytes request{command, slot};
    request.insert(request.end(), record.bytes.begin(), record.bytes.end());
    return request;
}
