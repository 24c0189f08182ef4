#pragma once
// Where korvelctl writes its texts: the console in the program, buffers in the
// tests. Every text is a whole number of lines.

#include <functional>
#include <string>

struct CliOutput {
    std::function<void(const std::wstring&)> out;  // results
    std::function<void(const std::wstring&)> err;  // failures and usage
};
