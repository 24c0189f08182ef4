#include "device/trace.h"

namespace {

TraceHandler& Handler() {
    static TraceHandler handler;
    return handler;
}

}  // namespace

void SetTraceHandler(TraceHandler handler) { Handler() = std::move(handler); }

void Trace(TraceChannel channel, const std::wstring& text) {
    if (const TraceHandler& handler = Handler()) handler(channel, text);
}
