#include "sim/request_framing.h"

#include "device/commands.h"

bool TakeRequest(std::vector<std::uint8_t>& pending, std::vector<std::uint8_t>& request) {
    if (pending.empty()) return false;
    const int arguments = RequestArgumentBytes(pending[0]);
    const std::size_t size = arguments < 0 ? 1 : 1 + static_cast<std::size_t>(arguments);
    if (pending.size() < size) return false;
    const auto end = pending.begin() + static_cast<std::ptrdiff_t>(size);
    request.assign(pending.begin(), end);
    pending.erase(pending.begin(), end);
    return true;
}
