#include "app/file_commands.h"

#include "actions/action_writes.h"
#include "app/actions_list.h"
#include "app/settings_panel.h"
#include "app/status_line.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "settings/setting_commands.h"

namespace {

// Each held setting goes out as it is and is read back into its control, in
// this order.
struct SettingRoundTrip {
    Setting setting;
    void (*readBack)(App&);
};

constexpr SettingRoundTrip kRoundTrips[] = {
    {Setting::IrRepeatPeriod, SyncIrRepeatPeriodField},
    {Setting::IrFullRepeat, SyncFullRepeatCheckbox},
    {Setting::MaxBrightness, SyncMaxBrightnessField},
    {Setting::DefaultResistance, SyncDefaultResistance},
};

}  // namespace

void SaveConfigCommand(App& app) {
    if (!IsConnected(app.module)) {
        Report(app, {.operation = &kSaveConfigFile, .kind = OutcomeKind::NotConnected});
        return;
    }
    // A failed refresh reports itself; the tables are saved as they then stand.
    ReloadAllActions(app);
    const auto path = app.view.askSaveFileName();
    if (path) Report(app, SaveConfigFile(*path, app.module.held));
}

void OpenConfigCommand(App& app) {
    if (!IsConnected(app.module)) {
        Report(app, {.operation = &kLoadConfigFile, .kind = OutcomeKind::NotConnected});
        return;
    }
    if (const auto path = app.view.askOpenFileName()) Report(app, LoadConfigFile(app.module, *path));
    // Whatever came of the file, the held configuration goes to the module and
    // is read back, so the held values end as the module reports them. The
    // status bytes of the set commands are not looked at; a failed exchange
    // ends the sequence at the safety net.
    for (const SettingRoundTrip& trip : kRoundTrips) {
        Report(app, WriteHeldSetting(app.module, trip.setting));
        trip.readBack(app);
    }
    Guarded(app, kWriteAllActions, [&] { Report(app, WriteAllActions(app.module)); });
    LoadCurrentActions(app);
}
