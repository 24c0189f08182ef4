#include "settings/sync.h"

#include <optional>
#include <string>

#include "actions/actions_list.h"
#include "actions/cell_text.h"
#include "app/resource_ids.h"
#include "device/protocol.h"

namespace {

// One sync exchange: nothing at all while disconnected; any failure becomes
// the step's own text and no value, so held setting and control stay as they
// were and the connection stays open.
template <class Query>
auto Ask(App& app, const wchar_t* failure, Query query) -> std::optional<decltype(query())> {
    if (!app.link.connected) return std::nullopt;
    try {
        return query();
    } catch (...) {
        SetStatusText(app, failure);
        return std::nullopt;
    }
}

}  // namespace

void SyncMaxBrightnessField(App& app) {
    const auto reply = Ask(app, L"getMaxBrightness failed (exception).", [&] { return getMaxBrightness(app.link); });
    if (!reply) return;
    const std::uint8_t v = *reply > 100 ? 100 : *reply;
    app.held.g_maxBrightness = v;
    app.view.setText(IDC_MAX_BRIGHTNESS, std::to_wstring(v));
    SetStatusText(app, L"Max brightness loaded.");
}

void SyncFullRepeatCheckbox(App& app) {
    const auto reply = Ask(app, L"getIRFullRepeat failed (exception).", [&] { return getIRFullRepeat(app.link); });
    if (!reply) return;
    app.held.g_irFullRepeat = *reply != 0;
    app.view.setChecked(IDC_FULL_REPEAT, *reply != 0);
    SetStatusText(app, L"Full repeat loaded.");
}

void SyncIrRepeatPeriodField(App& app) {
    const auto reply =
        Ask(app, L"SyncIrRepeatPeriodField failed (exception).", [&] { return getIRRepeatPeriod(app.link); });
    if (!reply) return;
    app.held.g_irRepeatPeriod = *reply;
    app.view.setText(IDC_IR_PERIOD, std::to_wstring(*reply));
    SetStatusText(app, L"IR repeat period loaded.");
}

void SyncDefaultResistance(App& app) {
    const auto reply =
        Ask(app, L"SyncDefaultResistance failed (exception).", [&] { return getDefaultResistance(app.link); });
    if (!reply) return;
    const std::uint16_t v = *reply;
    app.held.g_defaultResistors = v;
    // A value with more than one RA bit names no entry and shows the empty item.
    const std::wstring raText = ResistorAName(v);
    const std::wstring rbText = ResistorBName(v);
    const int idxA = app.view.comboFindExact(IDC_RA_DEFAULT, raText);
    const int idxB = app.view.comboFindExact(IDC_RB_DEFAULT, rbText);
    app.view.comboSelect(IDC_RA_DEFAULT, idxA < 0 ? 0 : idxA);
    app.view.comboSelect(IDC_RB_DEFAULT, idxB < 0 ? 0 : idxB);
    app.view.debugTrace(L"g_defaultResistors=" + FormatHex16(v) + L"\n");
    app.view.debugTrace(L"raText=[" + raText + L"]\n");
    app.view.debugTrace(L"rbText=[" + rbText + L"]\n");
    app.view.debugTrace(L"idxA=" + std::to_wstring(idxA) + L"\n");
    app.view.debugTrace(L"idxB=" + std::to_wstring(idxB) + L"\n");
    SetStatusText(app, L"Default resistance loaded.");
}

void SyncAllFromModule(App& app) {
    SyncMaxBrightnessField(app);
    SyncFullRepeatCheckbox(app);
    SyncDefaultResistance(app);
    SyncIrRepeatPeriodField(app);
    LoadCurrentActions(app);
}
