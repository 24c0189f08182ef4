#include "settings/setting_handlers.h"

#include <iterator>
#include <string>

#include "actions/catalogues.h"
#include "app/resource_ids.h"
#include "device/protocol.h"
#include "settings/sync.h"

namespace {

// The handler's success text for status 0, else its failure text and the code.
void ReportStatus(App& app, std::uint8_t status, const HandlerTexts& texts) {
    SetStatusText(app, status == 0 ? std::wstring(texts.success) : texts.failure + std::to_wstring(status));
}

bool RequireConnection(App& app) {
    if (!app.link.connected) SetStatusText(app, L"Not connected.");
    return app.link.connected;
}

}  // namespace

AutoBaseNumber ParseNumberField(App& app, int controlId) { return ParseAutoBase(app.view.getText(controlId)); }

void SaveModuleConfig(App& app) {
    if (!RequireConnection(app)) return;
    ReportStatus(app, saveConfig(app.link), kSaveTexts);
}

void LoadModuleConfig(App& app) {
    if (!RequireConnection(app)) return;
    const std::uint8_t status = loadConfig(app.link);
    ReportStatus(app, status, kLoadTexts);
    if (status == 0) SyncAllFromModule(app);
}

void ResetModuleConfig(App& app) {
    if (!RequireConnection(app)) return;
    const std::uint8_t status = resetConfig(app.link);
    ReportStatus(app, status, kResetTexts);
    if (status == 0) SyncAllFromModule(app);
}

void SendIrCode(App& app) {
    if (!RequireConnection(app)) return;
    const AutoBaseNumber code = ParseNumberField(app, IDC_IR_CODE);
    if (!code.valid) {
        SetStatusText(app, L"Invalid IR to send.");
        return;
    }
    ReportStatus(app, sendIR(app.link, code.value), kSendIrTexts);
}

void ApplyIrRepeatPeriod(App& app) {
    if (!RequireConnection(app)) return;
    const AutoBaseNumber period = ParseNumberField(app, IDC_IR_PERIOD);
    if (!period.valid) {
        SetStatusText(app, L"Invalid IR period.");
        return;
    }
    // No range check: only the low 16 bits go on the wire.
    ReportStatus(app, setIRRepeatPeriod(app.link, static_cast<std::uint16_t>(period.value)), kIrPeriodTexts);
}

// The box does not toggle itself; it takes its new state before the module
// answers and keeps it whatever the answer, until the next sync.
void ToggleIrFullRepeat(App& app) {
    const bool on = !app.view.isChecked(IDC_FULL_REPEAT);
    app.view.setChecked(IDC_FULL_REPEAT, on);
    ReportStatus(app, setIRFullRepeat(app.link, on ? 1 : 0), kFullRepeatTexts);
}

// Both combo boxes are sent together, whichever of them the user changed.
void ApplyDefaultResistance(App& app) {
    const int a = app.view.comboSelection(IDC_RA_DEFAULT);
    const int b = app.view.comboSelection(IDC_RB_DEFAULT);
    if (a < 0 || b < 0 || a >= std::ssize(ResistorsA) || b >= std::ssize(ResistorsB)) {
        SetStatusText(app, L"Selection error");
        return;
    }
    const auto value = static_cast<std::uint16_t>(ResistorsB[b].code | ResistorsA[a].code);
    const std::uint8_t status = setDefaultResistance(app.link, value);
    ReportStatus(app, status, kResistanceTexts);
    if (status == 0) app.held.g_defaultResistors = value;
}

void ApplyMaxBrightness(App& app) {
    if (!RequireConnection(app)) return;
    const AutoBaseNumber value = ParseNumberField(app, IDC_MAX_BRIGHTNESS);
    if (!value.valid || value.value > 100) {
        SetStatusText(app, L"Invalid max brightness (0-100).");
        return;
    }
    std::uint8_t status = 0;
    try {
        status = setMaxBrightness(app.link, static_cast<std::uint8_t>(value.value));
    } catch (...) {
        SetStatusText(app, L"Max brightness set failed (exception).");
        return;
    }
    ReportStatus(app, status, kBrightnessTexts);
}
