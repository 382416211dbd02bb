// Bytes: a counted buffer of any byte values, zero included; the absent and
// the empty buffer are one value. Conversions between texts, buffers and
// 32-bit integers.
#pragma once

#include "text/text_array.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavenro {

using Bytes = std::vector<std::uint8_t>;

[[nodiscard]] int BytesLength(const Bytes& bytes);

// The first n bytes; empty for n <= 0.
[[nodiscard]] Bytes BytesLeft(const Bytes& bytes, int n);

// n zero bytes; empty for n <= 0.
[[nodiscard]] Bytes BlankBytes(int n);

// The buffers joined in order.
template <class... Parts> [[nodiscard]] Bytes ConcatBytes(const Parts&... parts) {
    Bytes joined;
    joined.reserve((parts.size() + ... + 0));
    (joined.insert(joined.end(), parts.begin(), parts.end()), ...);
    return joined;
}

// 0 when equal; 1 when the lengths differ; else -1 or 1 by the first
// differing byte. Meant as an equality test.
[[nodiscard]] int CompareBytes(const Bytes& a, const Bytes& b);

// The text's bytes, without terminator.
[[nodiscard]] Bytes ToBytes(std::string_view text);

// n spaces; empty for n <= 0.
[[nodiscard]] Text BlankText(int n);

// Decimal, as "%d".
[[nodiscard]] Text ToText(int value);
// The bytes up to the first zero byte.
[[nodiscard]] Text ToText(const Bytes& bytes);
[[nodiscard]] Text ToText(std::string_view text);
// As "%.13g".
[[nodiscard]] Text ToText(double value);

// Full-width forms folded to ASCII, then leading white space, a sign and
// decimal digits wrapping modulo 2^32; no digits give 0.
[[nodiscard]] int ToInteger(std::string_view text);

} // namespace tavenro
