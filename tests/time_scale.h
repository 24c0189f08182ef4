#pragma once
// Time-outs and waits of the tests, stretched by the whole number in
// KORVEL_TIME_SCALE (default 1) when the tests run slowed down, as under
// valgrind. The module's 50 ms gap between bytes is never stretched: it is the
// contract under test, and bytes sent together arrive together at any speed.

#include <cstdlib>

inline unsigned TimeScale() {
    static const unsigned scale = [] {
        const char* text = std::getenv("KORVEL_TIME_SCALE");
        const unsigned long n = text ? std::strtoul(text, nullptr, 10) : 1;
        return n > 0 ? static_cast<unsigned>(n) : 1u;
    }();
    return scale;
}

inline unsigned ScaledMs(unsigned ms) { return ms * TimeScale(); }
