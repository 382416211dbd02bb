// Cutting a piece out of a text by markers.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// The text between the first left marker at or after start (0 or 1: the
// beginning) and the next right marker after it; empty when either is
// missing. In both markers "#引号" stands for a double quote.
[[nodiscard]] Text TextBetween(std::string_view text, std::string_view leftMarker,
                               std::string_view rightMarker, int start = 0,
                               bool ignoreCase = false);

// The trimmed value after the first colon of a header line; empty without one.
[[nodiscard]] Text HeaderFieldValue(std::string_view line);

} // namespace tavenro
