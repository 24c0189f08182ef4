#pragma once
// A connected application showing a small, known Media and ACC table, so every
// commit can be checked byte for byte.

#include "actions/catalogues.h"
#include "actions/actions_list.h"
#include "actions/cell_editing.h"
#include "tests/app/app_harness.h"

inline const ActionFields kMedia0{0x16, 0x11223344, 0x81, 0x09, 0x8004};  // Previous, RA 3.9 k, RB 22
inline const ActionFields kMedia1{0x15, 0xA, 0x00, 0x00, 0x0001};         // Next, RA 1.2 k
inline const ActionFields kMedia2{0x00, 0x0, 0x00, 0x00, 0x0000};
inline const ActionFields kAcc0{0x0100, 0x55, 0x02, 0x04, 0x4000};        // Set, RA 22

inline ModuleConfig EditConfig() {
    ModuleConfig config = FactoryConfig();
    config.media = {MakeRecord<MediaAction>(kMedia0), MakeRecord<MediaAction>(kMedia1), MakeRecord<MediaAction>(kMedia2)};
    config.acc = {MakeRecord<AccAction>(kAcc0)};
    return config;
}

inline Bytes MediaWrite(std::uint8_t slot, const ActionFields& fields) {
    return RecordRequest(cmd::setMediaAction, slot, MakeRecord<MediaAction>(fields));
}

class Editing : public testing::Test {
protected:
    Editing() : h(EditConfig()) {}
    void SetUp() override { h.connect(); }

    void showTab(int tab) {
        h.view.tabSelect(tab);
        HandleTabChange(h.app);
        h.module.clearExchanges();
    }

    AppHarness h;
    MemoryView& view = h.view;
    App& app = h.app;
};
