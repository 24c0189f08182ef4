#include "app/settings_panel.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "app/actions_list.h"
#include "app/resource_ids.h"
#include "app/status_line.h"
#include "device/trace.h"
#include "settings/setting_commands.h"
#include "settings/setting_reads.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"

namespace {

// One setting read from the module; `show` puts the held value into its
// control(s) when the read succeeded. The window guards the whole step.
template <class Show>
void Sync(App& app, Outcome (*read)(Module&), const OperationId& operation, Show show) {
    Guarded(app, operation, [&] {
        const Outcome outcome = read(app.module);
        if (Succeeded(outcome)) show(app.module.held.settings);
        Report(app, outcome);
    });
}

// Selects the combo item whose text is `text`, or the first; the search's answer.
int SelectExact(View& view, int id, const std::wstring& text) {
    const int found = view.comboFindExact(id, text);
    view.comboSelect(id, found < 0 ? 0 : found);
    return found;
}

// The number typed into `field`, up to `max`, handed to `send` for its
// operation. The field is read only while a module is connected, so "Not
// connected." comes first; a text that does not start with a number (read
// with automatic base), or one above `max`, is refused with nothing sent.
template <class Send>
void SendTypedNumber(App& app, const OperationId& operation, int field, std::uint32_t max, Send send) {
    Outcome outcome{.operation = &operation, .kind = OutcomeKind::NotConnected};
    if (IsConnected(app.module)) {
        const AutoBaseNumber number = ParseAutoBase(app.view.getText(field));
        if (number.valid && number.value <= max)
            return Guarded(app, operation, [&] { Report(app, send(number.value)); });
        outcome.kind = OutcomeKind::InvalidInput;
    }
    Report(app, outcome);
}

}  // namespace

void SyncMaxBrightnessField(App& app) {
    Sync(app, ReadMaxBrightness, kReadMaxBrightness, [&](ModuleSettings& s) {
        // The window holds no more than its field takes.
        s.maxBrightness = std::min(s.maxBrightness, kBrightnessPercentMax);
        app.view.setText(IDC_MAX_BRIGHTNESS, std::to_wstring(s.maxBrightness));
    });
}

void SyncFullRepeatCheckbox(App& app) {
    Sync(app, ReadFullRepeat, kReadFullRepeat,
         [&](const ModuleSettings& s) { app.view.setChecked(IDC_FULL_REPEAT, s.irFullRepeat != 0); });
}

void SyncIrRepeatPeriodField(App& app) {
    Sync(app, ReadIrRepeatPeriod, kReadIrRepeatPeriod, [&](const ModuleSettings& s) {
        app.view.setText(IDC_IR_PERIOD, std::to_wstring(s.irRepeatPeriod));
    });
}

void SyncDefaultResistance(App& app) {
    Sync(app, ReadDefaultResistance, kReadDefaultResistance, [&](const ModuleSettings& s) {
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
    Report(app, loaded);
    if (Succeeded(loaded)) SyncAllFromModule(app);
}

void OnReset(App& app) {
    const Outcome reset = ResetModuleConfig(app.module);
    Report(app, reset);
    if (Succeeded(reset)) SyncAllFromModule(app);
}

void OnSendIr(App& app) {
    SendTypedNumber(app, kSendIrCode, IDC_IR_CODE, UINT32_MAX,
                    [&](std::uint32_t code) { return SendIrCode(app.module, code); });
}

void OnIrPeriodSet(App& app) {
    // No range check: only the low 16 bits go on the wire.
    SendTypedNumber(app, kApplyIrRepeatPeriod, IDC_IR_PERIOD, UINT32_MAX, [&](std::uint32_t period) {
        return ApplyIrRepeatPeriod(app.module, static_cast<std::uint16_t>(period));
    });
}

void ToggleIrFullRepeat(App& app) {
    const bool on = !app.view.isChecked(IDC_FULL_REPEAT);
    app.view.setChecked(IDC_FULL_REPEAT, on);
    Report(app, SetIrFullRepeat(app.module, on));
}

void OnResistanceChosen(App& app) {
    const int a = app.view.comboSelection(IDC_RA_DEFAULT);
    const int b = app.view.comboSelection(IDC_RB_DEFAULT);
    // The items are the catalogue entries in order; both positions are
    // checked before either indexes its catalogue.
    if (a < 0 || b < 0 || a >= std::ssize(ResistorsA) || b >= std::ssize(ResistorsB))
        return Report(app, {.operation = &kApplyDefaultResistance, .kind = OutcomeKind::InvalidInput});
    const auto resistors = static_cast<std::uint16_t>(ResistorsA[a].code | ResistorsB[b].code);
    Report(app, ApplyDefaultResistance(app.module, resistors));
}

void OnMaxBrightnessSet(App& app) {
    SendTypedNumber(app, kApplyMaxBrightness, IDC_MAX_BRIGHTNESS, kBrightnessPercentMax, [&](std::uint32_t percent) {
        return ApplyMaxBrightness(app.module, static_cast<std::uint8_t>(percent));
    });
}
