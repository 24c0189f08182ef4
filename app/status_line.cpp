#include "app/status_line.h"

#include "app/connection.h"
#include "app/resource_ids.h"

void SetStatusText(App& app, const std::wstring& text) {
    if (app.view.hasControl(IDC_STATUS)) app.view.setText(IDC_STATUS, text);
}

bool Report(App& app, const Outcome& outcome) {
    const bool leftToNet = LinkFailed(outcome) && !GuardsItsExchanges(outcome.operation);
    // The line is gone: back to the disconnected state first, so that the
    // error's text replaces "Disconnected.".
    if (leftToNet && outcome.kind == OutcomeKind::SerialError) Disconnect(app);
    const std::wstring text = StatusText(outcome);
    if (!text.empty()) SetStatusText(app, text);
    return !leftToNet;
}
