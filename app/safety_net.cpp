#include "app/safety_net.h"

#include <stdexcept>

#include "app/status_line.h"
#include "device/text.h"

void RunGuarded(App& app, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::runtime_error& error) {
        const std::string what = error.what();
        SetStatusText(app, L"Runtime error occured: " + (what.empty() ? L"Unknown exception" : WidenBytes(what)));
    } catch (...) {
        SetStatusText(app, L"An unknown error occured");
    }
}
