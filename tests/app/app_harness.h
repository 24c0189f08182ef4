#pragma once
// A fresh application on the in-memory window, with the virtual module on a
// pseudo-terminal as the only port listed and link time-outs short enough for
// a silent module to cost a test a fraction of a second. Every status text is
// logged, so passing texts can be checked too.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "actions/catalogues.h"
#include "actions/row_text.h"
#include "app/actions_list.h"
#include "app/app_state.h"
#include "app/cell_editing.h"
#include "app/connection.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "device/protocol.h"
#include "sim/virtual_module.h"
#include "tests/app/memory_view.h"

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::wstring>;

struct LoggingView : MemoryView {
    void setText(int id, const std::wstring& text) override {
        if (id == IDC_STATUS) statusLog.push_back(text);
        MemoryView::setText(id, text);
    }
    Texts statusLog;
};

struct AppHarness {
    explicit AppHarness(ModuleConfig config = FactoryConfig()) : module(std::move(config)) {
        app.module.link.timeouts.settleMs = 0;
        app.module.link.timeouts.readConstant = 300;
        module.setLiveChanges(false);
        InitialiseMainControls(app);
        ShowPortList(app, {{module.portPath(), "Korvel virtual module"}});
    }

    // Connects through the button and forgets the traffic and texts of it.
    void connect() {
        HandleEvent(app, UiEvent::Connect);
        ASSERT_TRUE(app.module.link.connected) << std::string(status().begin(), status().end());
        module.clearExchanges();
        view.statusLog.clear();
    }

    std::wstring status() const { return view.getText(IDC_STATUS); }
    Texts displays() const {
        Texts texts;
        for (int id : {IDC_PRESSED_MEDIA, IDC_PRESSED_GEARS, IDC_PRESSED_HORN, IDC_PRESSED_ACC, IDC_CURRENT_BRIGHTNESS})
            texts.push_back(view.getText(id));
        return texts;
    }
    std::vector<Bytes> requests() const {
        std::vector<Bytes> out;
        for (const auto& exchange : module.exchanges()) out.push_back(exchange.request);
        return out;
    }
    void showTab(int tab) {
        view.tabSelect(tab);
        HandleTabChange(app);
        module.clearExchanges();
    }

    VirtualModule module;
    LoggingView view;
    App app{view};
};

// A record write as it goes out: command, slot, the record's bytes.
template <class R>
Bytes RecordRequest(std::uint8_t command, std::uint8_t slot, const R& record) {
    Bytes request{command, slot};
    request.insert(request.end(), record.bytes.begin(), record.bytes.end());
    return request;
}

// A small known Media and ACC table, for checking each commit byte for byte.
inline const ActionFields kMedia0{0x16, 0x11223344, 0x81, 0x09, 0x8004};  // Previous, RA 3.9 k, RB 22
inline const ActionFields kMedia1{0x15, 0xA, 0x00, 0x00, 0x0001};         // Next, RA 1.2 k

inline Bytes MediaWrite(std::uint8_t slot, const ActionFields& fields) {
    return RecordRequest(cmd::setMediaAction, slot, MakeRecord<MediaAction>(fields));
}

class Editing : public testing::Test {
protected:
    static ModuleConfig config() {
        ModuleConfig c = FactoryConfig();
        c.media = {MakeRecord<MediaAction>(kMedia0), MakeRecord<MediaAction>(kMedia1), MediaAction{}};
        c.acc = {MakeRecord<AccAction>({0x0100, 0x55, 0x02, 0x04, 0x4000})};
        return c;
    }
    void SetUp() override { h.connect(); }
    void edit(int row, int column, const std::wstring& typed, bool commit = true) {
        HandleListDoubleClick(app, row, column);
        column == kIrColumn ? view.typeIntoIrEditor(typed) : view.typeIntoComboEditor(typed);
        column == kIrColumn ? EndIrEdit(app, commit) : EndComboEdit(app, commit);
    }

    AppHarness h{config()};
    LoggingView& view = h.view;
    App& app = h.app;
};
