#include "app/settings_panel.h"

#include <string>

#include "actions/auto_base.h"
#include "actions/cell_text.h"
#include "app/actions_list.h"
#include "app/resource_ids.h"
#include "app/status_line.h"
#include "device/trace.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"

namespace {

// The control's text read as a number with automatic base; nothing when it
// does not start with one.
NumberInput ParseNumberField(const App& app, int controlId) {
    const AutoBaseNumber number = ParseAutoBase(app.view.getText(controlId));
    return number.valid ? NumberInput(number.value) : std::nullopt;
}

const ModuleSettings& Held(const App& app) { return app.module.held.settings; }

}  // namespace

void SyncMaxBrightnessField(App& app) {
    const Outcome read = ReadMaxBrightness(app.module);
    if (Succeeded(read)) app.view.setText(IDC_MAX_BRIGHTNESS, std::to_wstring(Held(app).maxBrightness));
    Report(app, read);
}

void SyncFullRepeatCheckbox(App& app) {
    const Outcome read = ReadFullRepeat(app.module);
    if (Succeeded(read)) app.view.setChecked(IDC_FULL_REPEAT, Held(app).irFullRepeat != 0);
    Report(app, read);
}

void SyncIrRepeatPeriodField(App& app) {
    const Outcome read = ReadIrRepeatPeriod(app.module);
    if (Succeeded(read)) app.view.setText(IDC_IR_PERIOD, std::to_wstring(Held(app).irRepeatPeriod));
    Report(app, read);
}

void SyncDefaultResistance(App& app) {
    const Outcome read = ReadDefaultResistance(app.module);
    if (Succeeded(read)) {
        const std::uint16_t v = Held(app).defaultResistors;
        // A value with more than one RA bit names no entry and shows the empty item.
        const std::wstring raText = ResistorAName(v);
        const std::wstring rbText = ResistorBName(v);
        const int idxA = app.view.comboFindExact(IDC_RA_DEFAULT, raText);
        const int idxB = app.view.comboFindExact(IDC_RB_DEFAULT, rbText);
        app.view.comboSelect(IDC_RA_DEFAULT, idxA < 0 ? 0 : idxA);
        app.view.comboSelect(IDC_RB_DEFAULT, idxB < 0 ? 0 : idxB);
        Trace(TraceChannel::Debugger, L"g_defaultResistors=" + FormatHex16(v) + L"\n");
        Trace(TraceChannel::Debugger, L"raText=[" + raText + L"]\n");
        Trace(TraceChannel::Debugger, L"rbText=[" + rbText + L"]\n");
        Trace(TraceChannel::Debugger, L"idxA=" + std::to_wstring(idxA) + L"\n");
        Trace(TraceChannel::Debugger, L"idxB=" + std::to_wstring(idxB) + L"\n");
    }
    Report(app, read);
}

void SyncAllFromModule(App& app) {
    SyncMaxBrightnessField(app);
    SyncFullRepeatCheckbox(app);
    SyncDefaultResistance(app);
    SyncIrRepeatPeriodField(app);
    LoadCurrentActions(app);
}

void OnSaveToDevice(App& app) { Report(app, SaveModuleConfig(app.module)); }

void OnLoadFromDevice(App& app) {
    const Outcome loaded = LoadModuleConfig(app.module);
    if (Report(app, loaded) && Succeeded(loaded)) SyncAllFromModule(app);
}

void OnReset(App& app) {
    const Outcome reset = ResetModuleConfig(app.module);
    if (Report(app, reset) && Succeeded(reset)) SyncAllFromModule(app);
}

void OnSendIr(App& app) { Report(app, SendIrCode(app.module, ParseNumberField(app, IDC_IR_CODE))); }

void OnIrPeriodSet(App& app) { Report(app, ApplyIrRepeatPeriod(app.module, ParseNumberField(app, IDC_IR_PERIOD))); }

void ToggleIrFullRepeat(App& app) {
    const bool on = !app.view.isChecked(IDC_FULL_REPEAT);
    app.view.setChecked(IDC_FULL_REPEAT, on);
    Report(app, SetIrFullRepeat(app.module, on));
}

void OnResistanceChosen(App& app) {
    const int a = app.view.comboSelection(IDC_RA_DEFAULT);
    const int b = app.view.comboSelection(IDC_RB_DEFAULT);
    Report(app, ApplyDefaultResistance(app.module, a, b));
}

void OnMaxBrightnessSet(App& app) {
    Report(app, ApplyMaxBrightness(app.module, ParseNumberField(app, IDC_MAX_BRIGHTNESS)));
}
