#include "actions/write_all.h"

#include <string>

#include "device/protocol.h"

namespace {

// Sends a table row by row; false with the failure message at the first row
// the module refuses.
template <class R>
bool writeTable(App& app, const std::vector<R>& table, const wchar_t* failurePrefix) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (TableCommands<R>::write(app.link, static_cast<std::uint8_t>(i), table[i]) != 0) {
            SetStatusText(app, failurePrefix + std::to_wstring(i));
            return false;
        }
    }
    return true;
}

// The name of the first table whose rows cannot all be addressed with a
// one-byte index, or nullptr.
const wchar_t* overlongTable(const ActionsPage& page) {
    if (page.mediaActions.size() > kMaxWireRows) return L"Media";
    if (page.gearActions.size() > kMaxWireRows) return L"Gears";
    if (page.hornActions.size() > kMaxWireRows) return L"Horn";
    if (page.accActions.size() > kMaxWireRows) return L"ACC";
    return nullptr;
}

}  // namespace

bool WriteAllActions(App& app) {
    const ActionsPage& page = app.page;
    // Checked before the first byte goes out, so the module never holds half
    // of a configuration it could not take whole.
    if (const wchar_t* table = overlongTable(page)) {
        SetStatusText(app, std::wstring(table) + L" table has more than " + std::to_wstring(kMaxWireRows) +
                               L" rows; nothing written.");
        return false;
    }
    try {
        if (!writeTable(app, page.mediaActions, L"Failed writing media action ")) return false;
        if (!writeTable(app, page.gearActions, L"Failed writing gear action ")) return false;
        if (!writeTable(app, page.hornActions, L"Failed writing horn action ")) return false;
        if (!writeTable(app, page.accActions, L"Failed writing ACC action ")) return false;
    } catch (...) {
        // Reported here rather than by the safety net: a dead line does not
        // disconnect in the middle of opening a file.
        SetStatusText(app, L"Writing actions to device failed (exception).");
        return false;
    }
    SetStatusText(app, L"All actions written to device.");
    return true;
}
