#include "web/text_between.h"

#include "text/text.h"

namespace tavenro {

namespace {

// Callers cannot easily write a double quote inside a marker that comes from
// a resource or a quoted literal, so "#引号" stands for one.
Text WithQuotes(std::string_view marker) {
    return ReplaceText(marker, "#引号", "\"", std::nullopt, std::nullopt, true);
}

} // namespace

Text TextBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker,
                 int start, bool ignoreCase) {
    const Text left = WithQuotes(leftMarker);
    const Text right = WithQuotes(rightMarker);

    int p = FindText(text, left, start, ignoreCase);
    if (p != -1)
        p += TextLength(left);
    // Searching from just behind the left marker lets a right marker equal to
    // the left one find its second copy ("[1]V1.0[1]").
    const int e = FindText(text, right, p, ignoreCase);
    if (p == -1 || e == -1)
        return {};
    return TextMid(text, p, e - p);
}

Text HeaderFieldValue(std::string_view line) {
    const int q = FindText(line, ":", std::nullopt, false);
    if (q == -1)
        return {};
    return TrimText(TextRight(line, TextLength(line) - q));
}

} // namespace tavenro
