#include "app/main_window.h"

#include "app/actions_list.h"
#include "app/cell_editing.h"
#include "app/connection.h"
#include "app/file_commands.h"
#include "app/resource_ids.h"
#include "app/safety_net.h"
#include "app/settings_panel.h"
#include "app/status_line.h"
#include "vocabulary/catalogues.h"

namespace {

void Route(App& app, UiEvent event) {
    switch (event) {
    case UiEvent::Refresh: RefreshPortList(app); break;
    case UiEvent::Connect: ToggleConnection(app); break;
    case UiEvent::SaveToDevice: OnSaveToDevice(app); break;
    case UiEvent::LoadFromDevice: OnLoadFromDevice(app); break;
    case UiEvent::Reset: OnReset(app); break;
    case UiEvent::SendIr: OnSendIr(app); break;
    case UiEvent::SetIrPeriod: OnIrPeriodSet(app); break;
    case UiEvent::ToggleFullRepeat: ToggleIrFullRepeat(app); break;
    case UiEvent::ResistanceChosen: OnResistanceChosen(app); break;
    case UiEvent::SetMaxBrightness: OnMaxBrightnessSet(app); break;
    case UiEvent::FileSave: SaveConfigCommand(app); break;
    case UiEvent::FileOpen: OpenConfigCommand(app); break;
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

void HandleEvent(App& app, UiEvent event) {
    RunGuarded(app, [&] { Route(app, event); });
}

void HandleTimer(App& app) {
    RunGuarded(app, [&] {
        if (IsConnected(app.module)) PollPressedButtons(app);
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
