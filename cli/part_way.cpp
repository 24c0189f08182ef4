#include "cli/part_way.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex mutex;
std::vector<PartWayPort> ports;

}  // namespace

void ForgetPartWayPorts() {
    const std::lock_guard lock(mutex);
    ports.clear();
}

void BeganWriting(const std::wstring& port, const std::wstring& kept) {
    const std::lock_guard lock(mutex);
    ports.push_back({port, kept});
}

void FinishedWriting(const std::wstring& port) {
    const std::lock_guard lock(mutex);
    std::erase_if(ports, [&](const PartWayPort& part) { return part.port == port; });
}

std::vector<PartWayPort> PartWayPorts() {
    const std::lock_guard lock(mutex);
    return ports;
}
