#pragma once
// A plain client of the module for the benchmarks to measure korvelctl
// against: termios, poll, read and write on the port, without the project's
// link. It replays recorded exchanges, each reply read with calls that take
// as many of its bytes as have arrived.
#include <string>
#include <vector>

#include "sim/virtual_module.h"

// Opens `port` raw at 115200 baud, writes each request and reads its reply,
// then closes the port. True when every reply came back as recorded.
bool ReplayExchanges(const std::string& port, const std::vector<Exchange>& exchanges);
