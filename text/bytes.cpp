#include "text/bytes.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace tavenro {

namespace {

// Full-width forms of the Chinese code page that ToInteger reads as ASCII.
// Returns 0 for a character that stays as it is.
char NarrowOf(unsigned char lead, unsigned char trail) {
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
        return static_cast<char>(trail - 0x80);
    if (lead == 0xA1) {
        switch (trail) {
        case 0xA1: return ' ';
        case 0xAB: return '~';
        case 0xEE:
        case 0xEF: return '*';
        default: break;
        }
    }
    return 0;
}

Text NarrowFullWidth(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(text[i]);
            i += 1;
            continue;
        }
        if (i + 1 == text.size())
            break; // a broken character at the end is dropped
        const char narrow = NarrowOf(lead, static_cast<unsigned char>(text[i + 1]));
        if (narrow != 0)
            out.push_back(narrow);
        else
            out.append(text.substr(i, 2));
        i += 2;
    }
    return out;
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

} // namespace

int BytesLength(const Bytes& bytes) { return static_cast<int>(bytes.size()); }

Bytes BytesLeft(const Bytes& bytes, int n) {
    if (n <= 0)
        return {};
    const auto count = std::min(static_cast<std::size_t>(n), bytes.size());
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

Bytes BlankBytes(int n) { return n <= 0 ? Bytes{} : Bytes(static_cast<std::size_t>(n), 0); }

int CompareBytes(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size())
        return 1;
    if (a.empty())
        return 0;
    const int order = std::memcmp(a.data(), b.data(), a.size());
    return (order > 0) - (order < 0);
}

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text BlankText(int n) { return n <= 0 ? Text{} : Text(static_cast<std::size_t>(n), ' '); }

Text ToText(int value) {
    char digits[16];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    return Text(digits, result.ptr);
}

Text ToText(const Bytes& bytes) {
    const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), zero);
}

Text ToText(std::string_view text) { return Text(text); }

Text ToText(double value) {
    // "%.13g" without the C library's locale or its platform's exponent width.
    char digits[64];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value,
                                      std::chars_format::general, 13);
    return Text(digits, result.ptr);
}

int ToInteger(std::string_view text) {
    const Text narrow = NarrowFullWidth(text);
    std::size_t i = 0;
    while (i < narrow.size() && IsWhiteSpace(narrow[i]))
        ++i;
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) {
        negative = narrow[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(narrow[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

} // namespace tavenro
