#include "app/main_window.h"

#include "actions/actions_list.h"
#include "actions/catalogues.h"
#include "actions/cell_editing.h"
#include "app/connection.h"
#include "app/resource_ids.h"
#include "config/file_commands.h"
#include "settings/setting_handlers.h"

namespace {

// The combo box's "selection confirmed" notification: the user's final choice,
// also of the item already shown.
constexpr int kSelEndOk = 9;

void routeCommand(App& app, int id, int code) {
    switch (id) {
    case IDC_REFRESH: RefreshPortList(app); break;
    case IDC_CONNECT: ToggleConnection(app); break;
    case IDC_SAVE_TO_DEVICE: SaveModuleConfig(app); break;
    case IDC_LOAD_FROM_DEVICE: LoadModuleConfig(app); break;
    case IDC_RESET: ResetModuleConfig(app); break;
    case IDC_IR_SEND: SendIrCode(app); break;
    case IDC_IR_PERIOD_SET: ApplyIrRepeatPeriod(app); break;
    case IDC_FULL_REPEAT: ToggleIrFullRepeat(app); break;
    case IDC_RA_DEFAULT:
    case IDC_RB_DEFAULT:
        if (code == kSelEndOk) ApplyDefaultResistance(app);
        break;
    case IDC_MAX_BRIGHTNESS_SET: ApplyMaxBrightness(app); break;
    case IDM_FILE_SAVE: SaveConfigCommand(app); break;
    case IDM_FILE_OPEN: OpenConfigCommand(app); break;
    default: break;
    }
}

}  // namespace

void InitialiseMainControls(App& app) {
    RunGuarded(app, [&] {
        for (const auto& entry : ResistorsA) app.view.comboAdd(IDC_RA_DEFAULT, entry.name);
        for (const auto& entry : ResistorsB) app.view.comboAdd(IDC_RB_DEFAULT, entry.name);
        app.view.tabSelect(static_cast<int>(app.page.currentTable));
        SetupActionColumns(app);
        EnableDeviceControls(app, false);
        SetStatusText(app, L"Korvel GUI ready.");
        RefreshPortList(app);
    });
}

void HandleCommand(App& app, int id, int code) {
    RunGuarded(app, [&] { routeCommand(app, id, code); });
}

void HandleTimer(App& app, unsigned id) {
    RunGuarded(app, [&] {
        if (id == POLL_TIMER_ID && app.link.connected) PollPressedButtons(app);
    });
}

void HandleTabChange(App& app) {
    RunGuarded(app, [&] { SwitchTable(app); });
}

void HandleListDoubleClick(App& app, int row, int column) {
    RunGuarded(app, [&] { DispatchCellDoubleClick(app, row, column); });
}

void HandleBackgroundPress(App& app, bool pointerOnComboEditor) {
    RunGuarded(app, [&] { CommitOpenEditors(app, pointerOnComboEditor); });
}
