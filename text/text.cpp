#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace tavenro {

namespace {

using Size = std::string_view::size_type;

constexpr unsigned char kFullWidthSpaceByte = 0xA1;

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; }

bool IsFullWidthSpace(std::string_view text, Size i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == kFullWidthSpaceByte &&
           static_cast<unsigned char>(text[i + 1]) == kFullWidthSpaceByte;
}

bool EqualAt(std::string_view text, Size at, std::string_view sought, bool ignoreCase) {
    if (!ignoreCase)
        return std::memcmp(text.data() + at, sought.data(), sought.size()) == 0;
    for (Size k = 0; k < sought.size(); ++k)
        if (FoldAscii(text[at + k]) != FoldAscii(sought[k]))
            return false;
    return true;
}

// Whether a character starts at byte p, given that one starts at `from`
// (from <= p). A byte below 0x80 always ends a character, so only the run of
// high bytes right before p decides: an even run pairs up, an odd one leaves
// p as the second byte of the run's last character.
bool StartsCharacter(std::string_view text, Size from, Size p) {
    Size run = 0;
    while (p > from + run && IsLead(text[p - run - 1]))
        ++run;
    return run % 2 == 0;
}

// The first character boundary at or after `from` (itself a boundary) where
// `sought` (non-empty) matches and that lies wholly before `end`; npos when
// none. Walking by characters, the walk ends at a lead byte that is the last
// byte of the text, as every searching primitive does.
Size FindForward(std::string_view text, std::string_view sought, Size from, Size end,
                 bool ignoreCase) {
    const Size s = sought.size();
    if (end < s)
        return std::string_view::npos;
    const Size lastStart = end - s;
    const char first = sought[0];
    // An exact search for a sought text that starts with a byte below 0x80
    // jumps between occurrences of that byte instead of walking every
    // character; the result is the same as the walk's.
    if (!ignoreCase && !IsLead(first)) {
        Size p = from;
        while (p <= lastStart) {
            const void* hit = std::memchr(text.data() + p, first, lastStart - p + 1);
            if (hit == nullptr)
                return std::string_view::npos;
            p = static_cast<Size>(static_cast<const char*>(hit) - text.data());
            if (StartsCharacter(text, from, p) &&
                std::memcmp(text.data() + p, sought.data(), s) == 0)
                return p;
            ++p;
        }
        return std::string_view::npos;
    }
    for (Size i = from; i <= lastStart;) {
        if (EqualAt(text, i, sought, ignoreCase))
            return i;
        if (IsLead(text[i])) {
            if (i + 1 == text.size())
                return std::string_view::npos;
            i += 2;
        } else {
            i += 1;
        }
    }
    return std::string_view::npos;
}

int Position(Size index) { return index == std::string_view::npos ? -1 : static_cast<int>(index) + 1; }

} // namespace

int TextLength(std::string_view text) { return static_cast<int>(text.size()); }

Text TextLeft(std::string_view text, int n) {
    if (n <= 0)
        return {};
    return Text(text.substr(0, static_cast<Size>(n)));
}

Text TextRight(std::string_view text, int n) {
    if (n <= 0)
        return {};
    const Size count = std::min(static_cast<Size>(n), text.size());
    return Text(text.substr(text.size() - count));
}

Text TextMid(std::string_view text, int start, int n) {
    const int length = TextLength(text);
    if (start < 1 || start > length || n <= 0)
        return {};
    return Text(text.substr(static_cast<Size>(start - 1), static_cast<Size>(n)));
}

int FindText(std::string_view text, std::string_view sought, std::optional<int> start,
             bool ignoreCase) {
    const Size length = text.size();
    Size from = 0;
    if (start && *start > 1)
        from = std::min(static_cast<Size>(*start - 1), length);
    if (sought.empty())
        return from < length ? 1 : -1;
    return Position(FindForward(text, sought, from, length, ignoreCase));
}

int FindTextReverse(std::string_view text, std::string_view sought, std::optional<int> start,
                    bool ignoreCase) {
    Size end = text.size();
    if (start) {
        if (*start <= 1)
            return -1;
        end = std::min(static_cast<Size>(*start - 1), end);
    }
    if (sought.empty())
        return end >= 1 ? 1 : -1;
    Size last = std::string_view::npos;
    for (Size from = 0;;) {
        const Size hit = FindForward(text, sought, from, end, ignoreCase);
        if (hit == std::string_view::npos)
            break;
        last = hit;
        // Overlapping occurrences count: go on from the next character.
        if (IsLead(text[hit])) {
            if (hit + 1 == text.size())
                break;
            from = hit + 2;
        } else {
            from = hit + 1;
        }
    }
    return Position(last);
}

Text ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement,
                 std::optional<int> start, std::optional<int> count, bool matchCase) {
    const Size length = text.size();
    const Size s0 = start ? static_cast<Size>(std::max(*start - 1, 0)) : 0;
    if (length == 0 || sought.empty() || s0 >= length || (count && *count == 0))
        return Text(text);
    const bool ignoreCase = !matchCase;
    std::optional<int> remaining = count;
    Text out;
    out.reserve(length);
    out.append(text.substr(0, s0));
    Size scan = s0;
    while (length - scan >= sought.size()) {
        const Size hit = FindForward(text, sought, scan, length, ignoreCase);
        if (hit == std::string_view::npos) {
            // No more matches: the walk would copy characters to the end,
            // except that a lone lead byte reached as the last byte of the
            // text is dropped. It is reached only when it starts the final
            // window of sought.size() bytes, that is for a one-byte sought text.
            if (sought.size() == 1 && StartsCharacter(text, scan, length - 1) &&
                IsLead(text[length - 1])) {
                out.append(text.substr(scan, length - 1 - scan));
                return out;
            }
            break;
        }
        out.append(text.substr(scan, hit - scan));
        out.append(replacement);
        scan = hit + sought.size();
        if (remaining && --*remaining == 0)
            break;
    }
    out.append(text.substr(scan));
    return out;
}

TextArray SplitText(std::string_view text, std::string_view separator, std::optional<int> limit) {
    TextArray pieces;
    std::optional<int> remaining = limit;
    if (remaining && *remaining < 0)
        remaining = 0;
    if (text.empty() || (remaining && *remaining == 0))
        return pieces;
    if (separator.empty()) {
        pieces.Append(text);
        return pieces;
    }
    Size pieceStart = 0;
    Size walk = 0;
    for (;;) {
        const Size hit = FindForward(text, separator, walk, text.size(), false);
        if (hit == std::string_view::npos)
            break;
        pieces.Append(text.substr(pieceStart, hit - pieceStart));
        walk = pieceStart = hit + separator.size();
        if (remaining && --*remaining == 0)
            return pieces;
    }
    if (pieceStart < text.size())
        pieces.Append(text.substr(pieceStart));
    return pieces;
}

Text TrimText(std::string_view text) {
    const Size length = text.size();
    Size begin = 0;
    while (begin < length) {
        if (text[begin] == ' ')
            begin += 1;
        else if (IsFullWidthSpace(text, begin))
            begin += 2;
        else
            break;
    }
    Size end = length;
    Size runStart = std::string_view::npos;
    for (Size i = begin; i < length;) {
        if (text[i] == ' ' || IsFullWidthSpace(text, i)) {
            if (runStart == std::string_view::npos)
                runStart = i;
            i += text[i] == ' ' ? 1 : 2;
        } else if (IsLead(text[i]) && i + 1 == length) {
            // A broken character at the end goes; blanks before it stay.
            runStart = std::string_view::npos;
            end = i;
            break;
        } else {
            runStart = std::string_view::npos;
            i += IsLead(text[i]) ? 2 : 1;
        }
    }
    if (runStart != std::string_view::npos)
        end = runStart;
    return Text(text.substr(begin, end - begin));
}

Text RemoveSpaces(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (Size i = 0; i < text.size();) {
        if (text[i] == ' ') {
            i += 1;
        } else if (IsLead(text[i])) {
            if (i + 1 == text.size())
                break;
            if (!IsFullWidthSpace(text, i))
                out.append(text.substr(i, 2));
            i += 2;
        } else {
            out.push_back(text[i]);
            i += 1;
        }
    }
    return out;
}

Text ToLower(std::string_view text) {
    Text out(text);
    for (Size i = 0; i < out.size(); ++i) {
        if (IsLead(out[i]))
            ++i;
        else
            out[i] = FoldAscii(out[i]);
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

Text CharFromCode(std::uint8_t code) {
    if (code == 0)
        return {};
    return Text(1, static_cast<char>(code));
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
    Size total = 0;
    for (std::string_view part : parts)
        total += part.size();
    Text out;
    out.reserve(total);
    for (std::string_view part : parts)
        out.append(part);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

} // namespace tavenro
