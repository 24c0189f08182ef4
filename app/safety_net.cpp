// The one guarded region every message handler runs in. SerialError and
// ProtocolError are both runtime errors, so the clauses must stay in this order.
#include <exception>
#include <stdexcept>

#include "app/connection.h"
#include "app/main_window.h"
#include "device/text.h"

namespace {

std::wstring errorText(const std::exception& error) {
    const std::string what = error.what();
    return what.empty() ? L"Unknown exception" : WidenBytes(what);
}

}  // namespace

void RunGuarded(App& app, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProtocolError& error) {
        SetStatusText(app, L"Protocol error occured: " + errorText(error));
    } catch (const SerialError& error) {
        // The line is gone: back to the disconnected state before reporting,
        // so the error text replaces "Disconnected.".
        Disconnect(app);
        SetStatusText(app, L"Serial error occured: " + errorText(error));
    } catch (const std::runtime_error& error) {
        SetStatusText(app, L"Runtime error occured: " + errorText(error));
    } catch (...) {
        SetStatusText(app, L"An unknown error occured");
    }
}
