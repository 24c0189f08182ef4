#pragma once
// Requests cut out of the bytes the module has received.

#include <cstdint>
#include <vector>

// Moves the first complete request out of `pending` into `request`; false
// while it is still coming in. A request is complete once its command byte and
// all its argument bytes are in; a byte that is no command stands alone.
bool TakeRequest(std::vector<std::uint8_t>& pending, std::vector<std::uint8_t>& request);
