// The service's texts (GBK, code page 936) as UTF-8, for terminals, files,
// JSON and playlists. Natively through iconv, under Windows through the
// system's code page 936 table (whatever the system's own code page is).
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// Always valid UTF-8: bytes that are not GBK become a replacement character
// (U+FFFD natively; the system's default character under Windows) and the
// rest of the text is converted on.
[[nodiscard]] Text GbkToUtf8(std::string_view gbk);

} // namespace tavenro
