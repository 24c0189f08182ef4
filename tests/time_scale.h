#pragma once
// Test time-outs and waits, stretched by the whole number in KORVEL_TIME_SCALE
// (default 1) when the tests run slowed down, as under valgrind. The module's
// 50 ms gap between bytes is never stretched: it is the contract under test.

#include <cstdlib>

inline unsigned ScaledMs(unsigned ms) {
    static const unsigned long scale = [] {
        const char* text = std::getenv("KORVEL_TIME_SCALE");
        const unsigned long n = text ? std::strtoul(text, nullptr, 10) : 1;
        return n > 0 ? n : 1ul;
    }();
    return ms * static_cast<unsigned>(scale);
}
