#include "notice/open_address.h"

#include "text/text.h"

#include <algorithm>

namespace tavenro {

namespace {

constexpr std::string_view kDefaultScheme = "http://";

bool HasWebScheme(std::string_view field) {
    const Text lowered = ToLower(TextLeft(field, 8));
    return StartsWith(lowered, "http://") || StartsWith(lowered, "https://");
}

// Second bytes of double-byte characters are never below 0x40, so a byte
// test cannot misread a Chinese character.
bool FitsOneAddress(std::string_view url) {
    return std::none_of(url.begin(), url.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || byte == '"';
    });
}

} // namespace

Text AddressToOpen(std::string_view field) {
    if (field.empty())
        return {};
    Text url = HasWebScheme(field) ? Text(field) : ConcatText({kDefaultScheme, field});
    const auto schemeEnd = url.find("://") + 3;
    if (url.size() <= schemeEnd || !FitsOneAddress(url))
        return {};
    return url;
}

} // namespace tavenro
