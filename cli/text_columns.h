#pragma once
// Rows of cells as lines of aligned columns.

#include <string>
#include <vector>

// Each cell padded to its column's widest cell, columns two spaces apart, no
// blanks at the end of a line. Widths count characters (every text is in the
// Basic Multilingual Plane and one column wide).
std::vector<std::wstring> AlignColumns(const std::vector<std::vector<std::wstring>>& rows);
