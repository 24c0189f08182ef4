#pragma once
// The protocol's names of the module's 22 commands, for korvel-sim's options:
// a fault names its command by name, by a friendly alias or by number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The name of a command byte ("saveConfig"); empty for a byte that is no command.
std::string CommandName(std::uint8_t command);

// The command a text names: its name in any case, an alias (store, reload,
// reset), or its number 0 to 21 in decimal.
std::optional<std::uint8_t> CommandNamed(std::string_view text);

// Every command by number and name, three to a line, then the aliases; for --help.
std::string CommandList();
