// Turning an address field of the announcement page into what the shell is
// asked to open.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// The http:// or https:// address to open for an announced address, or the
// empty text when there is nothing to open. A field that already begins
// with "http://" or "https://" (any letter case) is taken as it stands;
// any other field gets "http://" in front. Nothing is opened for an empty
// field, a bare scheme, or a field with a control byte or a double quote in
// it, which could not be one address on the browser's command line.
[[nodiscard]] Text AddressToOpen(std::string_view field);

} // namespace tavenro
