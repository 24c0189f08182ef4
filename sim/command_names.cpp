#include "sim/command_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "device/commands.h"

namespace {

struct Alias {
    const char* name;
    std::uint8_t command;
};
// korvelctl's words for the commands on the stored configuration.
constexpr Alias kAliases[] = {{"store", cmd::saveConfig}, {"reload", cmd::loadConfig}, {"reset", cmd::resetConfig}};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string CommandName(std::uint8_t command) { return command < kCommandCount ? kCommands[command].name : ""; }

std::optional<std::uint8_t> CommandNamed(std::string_view text) {
    for (std::size_t i = 0; i < kCommandCount; ++i)
        if (SameIgnoringCase(text, kCommands[i].name)) return static_cast<std::uint8_t>(i);
    for (const Alias& alias : kAliases)
        if (SameIgnoringCase(text, alias.name)) return alias.command;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), digit)) return std::nullopt;
    const int number = std::stoi(std::string(text));
    return number < static_cast<int>(kCommandCount) ? std::optional<std::uint8_t>(number) : std::nullopt;
}

std::string CommandList() {
    std::string list;
    char cell[64];
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        std::snprintf(cell, sizeof cell, "%4zu %-21s", i, kCommands[i].name);
        list += cell;
        if (i % 3 == 2 || i + 1 == kCommandCount) {
            while (list.back() == ' ') list.pop_back();
            list += '\n';
        }
    }
    list += "  aliases:";
    for (const Alias& alias : kAliases) list += std::string(" ") + alias.name + " = " + kCommands[alias.command].name + ",";
    list.back() = '\n';
    return list;
}
