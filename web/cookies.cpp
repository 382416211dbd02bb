#include "web/cookies.h"

#include "text/text.h"

namespace tavenro {

namespace {

// The value a server gives a cookie it wants the client to forget.
bool IsDeleted(std::string_view entry) {
    return CompareText(TextRight(entry, 8), "=deleted") == 0;
}

} // namespace

Text MergeCookies(Text& kept, Text& fresh) {
    kept = RemoveSpaces(kept);
    fresh = RemoveSpaces(fresh);
    const TextArray keptEntries = SplitText(kept, ";");
    TextArray merged = SplitText(fresh, ";");

    // merged grows inside the walk, so of several kept entries sharing a name
    // only the first is taken.
    const int keptCount = ArrayCount(keptEntries);
    for (int i = 1; i <= keptCount; ++i) {
        const Text& entry = keptEntries.At(i);
        if (!HasCookieNamed(merged, CookieNameOf(entry)))
            ArrayAppend(merged, entry);
    }

    kept.clear();
    const int mergedCount = ArrayCount(merged);
    for (int i = 1; i <= mergedCount; ++i) {
        const Text& entry = merged.At(i);
        if (!IsDeleted(entry))
            kept = ConcatText({kept, entry, "; "});
    }
    kept = TextLeft(kept, TextLength(kept) - 2);
    kept = JoinDistinct(kept, "; ");
    return kept;
}

Text CookieNameOf(std::string_view entry) {
    const int q = FindText(entry, "=", std::nullopt, false);
    return TrimText(q == -1 ? Text(entry) : TextLeft(entry, q - 1));
}

bool HasCookieNamed(const TextArray& entries, std::string_view name) {
    const int count = ArrayCount(entries);
    for (int i = 1; i <= count; ++i) {
        if (CompareText(CookieNameOf(entries.At(i)), name) == 0)
            return true;
    }
    return false;
}

Text JoinDistinct(std::string_view text, std::string_view separator) {
    const TextArray pieces = SplitText(text, separator);
    TextArray seen;
    Text joined;
    const int count = ArrayCount(pieces);
    for (int i = 1; i <= count; ++i) {
        const Text& piece = pieces.At(i);
        if (PositionInList(seen, piece) != -1)
            continue;
        ArrayAppend(seen, piece);
        joined = ConcatText({joined, piece, separator});
    }
    return TextLeft(joined, TextLength(joined) - TextLength(separator));
}

int PositionInList(const TextArray& items, std::string_view item) {
    const int count = ArrayCount(items);
    for (int i = 1; i <= count; ++i) {
        if (CompareText(items.At(i), item) == 0)
            return i;
    }
    return -1;
}

} // namespace tavenro
