#pragma once
// Test time-outs and waits, stretched by the whole number in KORVEL_TIME_SCALE
// (default 1) when the tests run slowed down, as under valgrind. The module's
// 50 ms gap between bytes is never stretched: it is the contract under test.

#include <chrono>
#include <cstdlib>
#include <thread>

inline unsigned ScaledMs(unsigned ms) {
    static const unsigned long scale = [] {
        const char* text = std::getenv("KORVEL_TIME_SCALE");
        const unsigned long n = text ? std::strtoul(text, nullptr, 10) : 1;
        return n > 0 ? n : 1ul;
    }();
    return ms * static_cast<unsigned>(scale);
}

// Waits until `done` holds or a few seconds, stretched as above, have
// passed; whether it holds.
template <class Done>
bool AwaitUpTo(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ScaledMs(5000));
    while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}
