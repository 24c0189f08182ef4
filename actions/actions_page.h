#pragma once
// The state behind the actions list view: the table on show, the four held
// tables and the bookkeeping of the two in-place cell editors.

#include <cstdint>
#include <string>
#include <vector>

#include "actions/records.h"
#include "device/serial_link.h"

struct ActionsPage {
    explicit ActionsPage(SerialLink& l) : link(l) {}

    std::uint32_t currentTable = Media;
    std::vector<MediaAction> mediaActions;
    std::vector<GearAction> gearActions;
    std::vector<HornAction> hornActions;
    std::vector<AccAction> accActions;
    bool editBox = false;   // the IR edit box is open
    bool comboBox = false;  // the combo-box editor is open
    SerialLink& link;
    int editRow = -1, editColumn = -1;
    std::wstring editOriginal;
    int comboRow = -1, comboColumn = -1;
    std::wstring comboOriginal;
};

// Rows past this cannot be addressed on the wire (the index is one byte).
constexpr std::size_t kMaxWireRows = 255;

// Calls `use` with the held records of `table`; false, and no call, for a
// number outside 0 to 3.
template <class Use>
bool WithHeldTable(ActionsPage& page, std::uint32_t table, Use&& use) {
    switch (table) {
    case Media: use(page.mediaActions); return true;
    case Gears: use(page.gearActions); return true;
    case Horn: use(page.hornActions); return true;
    case Acc: use(page.accActions); return true;
    default: return false;
    }
}
