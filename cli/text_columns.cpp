#include "cli/text_columns.h"

#include <algorithm>

std::vector<std::wstring> AlignColumns(const std::vector<std::vector<std::wstring>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size());
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::vector<std::wstring> lines;
    lines.reserve(rows.size());
    for (const auto& row : rows) {
        std::wstring line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += L"  ";
            line += row[c];
            line.append(widths[c] - row[c].size(), L' ');
        }
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(line);
    }
    return lines;
}
