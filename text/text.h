// Byte texts in the ANSI code page (GBK): 1-based byte positions, -1 for
// "not found", and the double-byte rule: a byte 0x80-0xFF starts a two-byte
// character together with the byte after it (no lead-byte table). The
// routines that search, replace, split, trim and lower-case step over such
// characters; the ones that count (length, left, right, mid) count bytes.
// Case folding touches ASCII A-Z only.
#pragma once

#include "text/text_array.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tavenro {

// Number of bytes.
[[nodiscard]] int TextLength(std::string_view text);

// The first n bytes; empty for n <= 0.
[[nodiscard]] Text TextLeft(std::string_view text, int n);

// The last n bytes; empty for n <= 0.
[[nodiscard]] Text TextRight(std::string_view text, int n);

// n bytes from 1-based start; empty when start < 1, start > length or n <= 0.
[[nodiscard]] Text TextMid(std::string_view text, int start, int n);

// Position of the first occurrence at or after start, or -1. A left-out start,
// or one <= 1, searches the whole text; an empty sought text gives 1 when the
// window holds a byte.
[[nodiscard]] int FindText(std::string_view text, std::string_view sought,
                           std::optional<int> start, bool ignoreCase);

// Position of the last occurrence lying wholly before start, or -1. A
// left-out start searches the whole text; a given start <= 1 finds nothing.
[[nodiscard]] int FindTextReverse(std::string_view text, std::string_view sought,
                                  std::optional<int> start, bool ignoreCase);

// The text with occurrences of sought replaced, scanning from start (left
// out: from the beginning) at most count times (left out or negative: no
// limit; 0: none). Note the sense: matchCase true compares exactly.
[[nodiscard]] Text ReplaceText(std::string_view text, std::string_view sought,
                               std::string_view replacement, std::optional<int> start,
                               std::optional<int> count, bool matchCase);

// Pieces between separators, empty ones included, but no empty piece after a
// final separator; at most limit pieces (left out: no limit, < 0 counts as 0).
[[nodiscard]] TextArray SplitText(std::string_view text, std::string_view separator = ",",
                                  std::optional<int> limit = std::nullopt);

// Without leading and trailing blanks (0x20 and the full-width space A1 A1).
[[nodiscard]] Text TrimText(std::string_view text);

// Without any blank.
[[nodiscard]] Text RemoveSpaces(std::string_view text);

// A-Z lowered; second bytes of double-byte characters untouched.
[[nodiscard]] Text ToLower(std::string_view text);

// Whether text begins with prefix, byte for byte.
[[nodiscard]] bool StartsWith(std::string_view text, std::string_view prefix);

// A text of the one byte; code 0 gives the empty text.
[[nodiscard]] Text CharFromCode(std::uint8_t code);

// The texts joined in order.
[[nodiscard]] Text ConcatText(std::initializer_list<std::string_view> parts);

// -1, 0 or 1 by unsigned byte order; a prefix sorts first.
[[nodiscard]] int CompareText(std::string_view a, std::string_view b);

// Bitwise or of 32-bit values.
[[nodiscard]] constexpr std::uint32_t BitOr(std::initializer_list<std::uint32_t> values) {
    std::uint32_t result = 0;
    for (std::uint32_t v : values)
        result |= v;
    return result;
}

} // namespace tavenro
