// The virtual module inside the page: the module's answers without a line of
// its own. The page hands it the bytes the configurator writes and paces the
// replies out at the line rate itself. Each page load starts one afresh, with
// the factory configuration in both its running and its stored copy.
#include <cstdint>
#include <vector>

#include <emscripten.h>

#include "sim/factory_config.h"
#include "sim/live_motion.h"
#include "sim/module_commands.h"
#include "sim/request_framing.h"

namespace {

ModuleState g_state{FactoryConfig(), FactoryConfig()};
std::vector<std::uint8_t> g_pending;  // the start of a request still coming in
std::vector<std::uint8_t> g_replies;  // what the last bytes brought as answers

}  // namespace

extern "C" {

// Takes `n` bytes from the line, `ms` after the module started; the replies
// to the requests they complete, in order, are then at virtual_module_replies.
// A byte that is no command gets no reply.
EMSCRIPTEN_KEEPALIVE int virtual_module_receive(const std::uint8_t* bytes, int n, double ms) {
    g_pending.insert(g_pending.end(), bytes, bytes + n);
    g_replies.clear();
    std::vector<std::uint8_t> request;
    while (TakeRequest(g_pending, request)) {
        const auto live = LiveMotion(static_cast<long long>(ms), g_state.running.settings.maxBrightness);
        const auto reply = ExecuteRequest(g_state, request, live);
        g_replies.insert(g_replies.end(), reply.begin(), reply.end());
    }
    return static_cast<int>(g_replies.size());
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* virtual_module_replies() { return g_replies.data(); }

}
