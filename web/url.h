// Taking a URL apart with plain text steps; the results on unusual input
// follow from those steps, which other routines rely on.
#pragma once

#include "text/text_array.h"

#include <optional>
#include <string_view>

namespace tavenro {

// The lower-cased host. With labelCount given (any value), the last
// labelCount + 2 labels (reduce: + 1) of the host are kept; without it the
// host between the scheme and the first "/" (reduce: its last two labels).
// The port is cut off unless keepPort.
[[nodiscard]] Text HostOfUrl(std::string_view url, bool reduce = false, bool keepPort = false,
                             std::optional<int> labelCount = std::nullopt);

// The explicit port, else 443 for https, else 80.
[[nodiscard]] int PortOfUrl(std::string_view url);

// From the first "/" after the host to the end, case kept; "/" when none.
[[nodiscard]] Text PathOfUrl(std::string_view url);

} // namespace tavenro
