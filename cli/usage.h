#pragma once
// The usage text shown with every usage error.

#include <string>

std::wstring UsageText();
