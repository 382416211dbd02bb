// The window's song search for one QQ number, its rows kept for printing.
#pragma once

#include "cli/song_rows.h"

#include <string_view>

namespace tavenro {

// Runs SearchSongs as the search button does (same request, same
// expression, same rows in the same order); a failed request gives no songs
// and the count line for 0.
[[nodiscard]] NumberSongs SearchNumber(std::string_view number);

} // namespace tavenro
