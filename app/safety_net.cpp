#include "app/safety_net.h"

#include <stdexcept>

#include "app/connection.h"
#include "app/status_line.h"
#include "device/serial_link.h"
#include "device/text.h"

namespace {

std::wstring Said(const std::exception& error) {
    const std::string what = error.what();
    return what.empty() ? L"Unknown exception" : WidenBytes(what);
}

}  // namespace

void RunGuarded(App& app, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProtocolError& error) {
        SetStatusText(app, L"Protocol error occured: " + Said(error));
    } catch (const SerialError& error) {
        // The line is gone: back to the disconnected state first, so that the
        // error's text replaces "Disconnected.".
        Disconnect(app);
        SetStatusText(app, L"Serial error occured: " + Said(error));
    } catch (const std::runtime_error& error) {
        SetStatusText(app, L"Runtime error occured: " + Said(error));
    } catch (...) {
        SetStatusText(app, L"An unknown error occured");
    }
}
