// Texts from the service or the user made safe to print on one line.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// The text with every control byte (0x01-0x1F, 0x7F) turned into a blank, so
// that a tab or a line end in a song name cannot split a row or a playlist
// entry, nor an escape sequence reach the terminal. Safe on GBK and UTF-8
// alike: neither uses these bytes inside a multi-byte character.
[[nodiscard]] Text OneLine(std::string_view text);

} // namespace tavenro
