#pragma once
// korvel-sim started in the background with a time limit, as a shell starts
// it; its pseudo-terminal from the first line it prints. For the test
// programs built with KORVEL_SIM_PATH.
#include <cstdio>
#include <string>
#include <utility>

#include "tests/scratch.h"

struct RunningSim {
    FILE* out = nullptr;
    std::string pty;
    explicit RunningSim(const std::string& arguments) {
        PrivateHome();
        out = popen(("exec timeout 20 " KORVEL_SIM_PATH " " + arguments).c_str(), "r");
        char line[256] = {};
        if (out && std::fgets(line, sizeof line, out)) pty.assign(line, std::char_traits<char>::length(line) - 1);
    }
    // Its exit status, once it has ended.
    int wait() { return out ? pclose(std::exchange(out, nullptr)) : -1; }
    ~RunningSim() { wait(); }
};
