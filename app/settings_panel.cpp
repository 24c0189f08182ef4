#include "app/settings_panel.h"

#include <string>

#include "app/actions_list.h"
#include "app/resource_ids.h"
#include "app/status_line.h"
#include "device/trace.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/cell_text.h"

namespace {

// The control's text read as a number with automatic base; nothing when it
// does not start with one.
NumberInput ParseNumberField(const App& app, int controlId) {
    const AutoBaseNumber number = ParseAutoBase(app.view.getText(controlId));
    return number.valid ? NumberInput(number.value) : std::nullopt;
}

// One setting read from the module; `show` puts the held value into its
// control(s) when the read succeeded.
template <class Show>
void Sync(App& app, Outcome (*read)(Module&), Show show) {
    const Outcome outcome = read(app.module);
    if (Succeeded(outcome)) show(app.module.held.settings);
    Report(app, outcome);
}

// Selects the combo item whose text is `text`, or the first; the search's answer.
int SelectExact(View& view, int id, const std::wstring& text) {
    const int found = view.comboFindExact(id, text);
    view.comboSelect(id, found < 0 ? 0 : found);
    return found;
}

}  // namespace

void SyncMaxBrightnessField(App& app) {
    Sync(app, ReadMaxBrightness, [&](const ModuleSettings& s) {
        app.view.setText(IDC_MAX_BRIGHTNESS, std::to_wstring(s.maxBrightness));
    });
}

void SyncFullRepeatCheckbox(App& app) {
    Sync(app, ReadFullRepeat, [&](const ModuleSettings& s) { app.view.setChecked(IDC_FULL_REPEAT, s.irFullRepeat != 0); });
}

void SyncIrRepeatPeriodField(App& app) {
    Sync(app, ReadIrRepeatPeriod, [&](const ModuleSettings& s) {
        app.view.setText(IDC_IR_PERIOD, std::to_wstring(s.irRepeatPeriod));
    });
}

void SyncDefaultResistance(App& app) {
    Sync(app, ReadDefaultResistance, [&](const ModuleSettings& s) {
        const std::uint16_t v = s.defaultResistors;
        // A value with more than one RA bit names no entry and shows the empty item.
        const std::wstring raText = ResistorAName(v);
        const std::wstring rbText = ResistorBName(v);
        const int idxA = SelectExact(app.view, IDC_RA_DEFAULT, raText);
        const int idxB = SelectExact(app.view, IDC_RB_DEFAULT, rbText);
        for (const std::wstring& line : {L"g_defaultResistors=" + FormatHex16(v), L"raText=[" + raText + L"]",
                                         L"rbText=[" + rbText + L"]", L"idxA=" + std::to_wstring(idxA),
                                         L"idxB=" + std::to_wstring(idxB)})
            Trace(TraceChannel::Debugger, line + L"\n");
    });
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
