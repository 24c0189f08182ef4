#pragma once
// Diagnostics the user does not see: the line written when a port opens and
// the trace of the default-resistance sync. They go to a handler the program
// installs once at start, and nowhere while none is installed. The window
// program sends them where they always went (standard output, the debugger
// output); korvelctl keeps them off its results.

#include <functional>
#include <string>

enum class TraceChannel {
    Console,   // the port-open line
    Debugger,  // the sync trace
};

using TraceHandler = std::function<void(TraceChannel, const std::wstring&)>;

// Installs the handler (an empty one silences the traces). Not to be called
// while other threads trace.
void SetTraceHandler(TraceHandler handler);

// Hands one text, a whole line with its line end, to the handler.
void Trace(TraceChannel channel, const std::wstring& text);
