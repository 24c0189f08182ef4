#include "app/app_state.h"
#include "app/resource_ids.h"

void SetStatusText(App& app, const std::wstring& text) {
    if (app.view.hasControl(IDC_STATUS)) app.view.setText(IDC_STATUS, text);
}
