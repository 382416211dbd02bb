// Percent-escaping of the bytes a caller picks, as HTTP stacks do to a URL
// before sending it.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// The text with every byte for which escape(byte) holds written as "%XX".
template <class Predicate>
[[nodiscard]] Text PercentEscaped(std::string_view text, Predicate escape) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (escape(byte)) {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace tavenro
