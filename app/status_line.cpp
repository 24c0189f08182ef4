#include "app/status_line.h"

#include "app/resource_ids.h"
#include "app/status_words.h"

void SetStatusText(App& app, const std::wstring& text) {
    if (app.view.hasControl(IDC_STATUS)) app.view.setText(IDC_STATUS, text);
}

void Report(App& app, const Outcome& outcome) {
    if (LinkFailed(outcome) && !(outcome.operation && OwnFailureText(*outcome.operation))) {
        if (outcome.kind == OutcomeKind::SerialError) throw SerialError(outcome.error);
        throw ProtocolError();
    }
    const std::wstring text = StatusText(outcome);
    if (!text.empty()) SetStatusText(app, text);
}

void Guarded(App& app, const OperationId& operation, const std::function<void()>& work) {
    const wchar_t* failed = OwnFailureText(operation);
    if (!failed) return work();
    try {
        work();
    } catch (...) {
        SetStatusText(app, failed);
    }
}
