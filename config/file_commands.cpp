#include "config/file_commands.h"

#include "actions/actions_list.h"
#include "actions/write_all.h"
#include "device/protocol.h"
#include "settings/sync.h"

ConfigData HeldConfig(const App& app) {
    const ActionsPage& page = app.page;
    return {page.mediaActions, page.gearActions, page.hornActions, page.accActions, app.held};
}

void ReplaceHeldConfig(App& app, ConfigData data) {
    app.page.mediaActions = std::move(data.media);
    app.page.gearActions = std::move(data.gears);
    app.page.hornActions = std::move(data.horn);
    app.page.accActions = std::move(data.acc);
    app.held = data.settings;
}

void SaveConfigFile(App& app) {
    const auto path = app.view.askSaveFileName();
    if (!path) return;
    SetStatusText(app, WriteConfigFile(*path, HeldConfig(app)));
}

void LoadConfigFile(App& app) {
    const auto path = app.view.askOpenFileName();
    if (!path) return;
    ConfigData data;
    if (const auto failure = ReadConfigFile(*path, data)) {
        SetStatusText(app, *failure);
        return;
    }
    ReplaceHeldConfig(app, std::move(data));
}

void SaveConfigCommand(App& app) {
    if (!app.link.connected) {
        SetStatusText(app, L"No device connected, cannot save config.");
        return;
    }
    // A failed refresh reports itself; the tables are saved as they then stand.
    ReloadAllActions(app);
    SaveConfigFile(app);
}

void OpenConfigCommand(App& app) {
    if (!app.link.connected) {
        SetStatusText(app, L"No device connected, cannot load config.");
        return;
    }
    LoadConfigFile(app);
    // Whatever came of the file, the held configuration goes to the module and
    // is read back, so the held values end as the module reports them. The
    // status bytes of the set commands are not looked at; their transport
    // failures end the sequence through the caller's safety net.
    setIRRepeatPeriod(app.link, app.held.g_irRepeatPeriod);
    SyncIrRepeatPeriodField(app);
    setIRFullRepeat(app.link, app.held.g_irFullRepeat ? 1 : 0);
    SyncFullRepeatCheckbox(app);
    setMaxBrightness(app.link, app.held.g_maxBrightness);
    SyncMaxBrightnessField(app);
    setDefaultResistance(app.link, app.held.g_defaultResistors);
    SyncDefaultResistance(app);
    WriteAllActions(app);
    LoadCurrentActions(app);
}
