#include "fuzz/reference.h"

#include <algorithm>

namespace tavenro::reference {

namespace {

using Pos = long long; // 1-based byte position; wide enough for any sum of two ints

Pos Length(std::string_view text) {
    return static_cast<Pos>(text.size());
}

// The byte at position p; 0, the terminator, past the end.
unsigned char ByteAt(std::string_view text, Pos p) {
    return p >= 1 && p <= Length(text) ? static_cast<unsigned char>(text[p - 1]) : 0;
}

bool IsHigh(unsigned char c) {
    return c >= 0x80;
}

unsigned char Folded(unsigned char c) {
    return c >= 0x41 && c <= 0x5A ? c + 0x20 : c;
}

// Whether the sought bytes stand at position p (they must fit).
bool SameAt(std::string_view text, Pos p, std::string_view sought, bool ignoreCase) {
    for (Pos k = 0; k < Length(sought); ++k) {
        unsigned char a = ByteAt(text, p + k);
        unsigned char b = static_cast<unsigned char>(sought[k]);
        if (ignoreCase) {
            a = Folded(a);
            b = Folded(b);
        }
        if (a != b)
            return false;
    }
    return true;
}

// Bytes from position `from` to `to`, both inclusive.
std::string Span(std::string_view text, Pos from, Pos to) {
    std::string out;
    for (Pos p = from; p <= to; ++p)
        out.push_back(static_cast<char>(ByteAt(text, p)));
    return out;
}

bool IsBlankSpace(std::string_view text, Pos p) {
    return ByteAt(text, p) == 0x20;
}

bool IsFullWidthSpace(std::string_view text, Pos p) {
    return p + 1 <= Length(text) && ByteAt(text, p) == 0xA1 && ByteAt(text, p + 1) == 0xA1;
}

} // namespace

std::string Left(std::string_view text, long long n) {
    if (n <= 0)
        return {};
    return Span(text, 1, std::min(n, Length(text)));
}

std::string Right(std::string_view text, long long n) {
    if (n <= 0)
        return {};
    const Pos count = std::min(n, Length(text));
    return Span(text, Length(text) - count + 1, Length(text));
}

std::string Mid(std::string_view text, long long start, long long n) {
    const Pos l = Length(text);
    if (start < 1 || start > l || n <= 0)
        return {};
    return Span(text, start, start + std::min(n, l - start + 1) - 1);
}

int Find(std::string_view text, std::string_view sought, std::optional<int> start,
         bool ignoreCase) {
    const Pos l = Length(text);
    const Pos s = Length(sought);
    // 1. The window runs from `first` to the end of the text.
    Pos first = 1;
    if (start && *start >= 2)
        first = *start <= l ? *start : l + 1;
    // 2. The empty sought text.
    if (s == 0)
        return l - first + 1 >= 1 ? 1 : -1;
    // 3. Candidates, character by character.
    Pos candidate = first;
    while (l - candidate + 1 >= s) {
        if (SameAt(text, candidate, sought, ignoreCase))
            return static_cast<int>(candidate);
        if (IsHigh(ByteAt(text, candidate))) {
            if (candidate + 1 > l)
                return -1;
            candidate += 2;
        } else {
            candidate += 1;
        }
    }
    return -1;
}

int FindReverse(std::string_view text, std::string_view sought, std::optional<int> start,
                bool ignoreCase) {
    const Pos l = Length(text);
    const Pos s = Length(sought);
    // 1. The window runs from the first byte to `last`.
    Pos last = l;
    if (start)
        last = *start <= 1 ? 0 : std::min(static_cast<Pos>(*start) - 1, l);
    // 2. The empty sought text.
    if (s == 0)
        return last >= 1 ? 1 : -1;
    // 3. Every candidate from the first byte; the last match is remembered.
    Pos found = -1;
    Pos candidate = 1;
    while (last - candidate + 1 >= s) {
        if (SameAt(text, candidate, sought, ignoreCase))
            found = candidate;
        if (IsHigh(ByteAt(text, candidate))) {
            if (candidate + 1 > l)
                break;
            candidate += 2;
        } else {
            candidate += 1;
        }
    }
    return static_cast<int>(found);
}

std::string Replace(std::string_view text, std::string_view sought, std::string_view replacement,
                    std::optional<int> start, std::optional<int> count, bool matchCase) {
    const Pos l = Length(text);
    const Pos s = Length(sought);
    const Pos s0 = start ? std::max(static_cast<Pos>(*start) - 1, Pos{0}) : 0;
    // 1. Nothing to do.
    if (l == 0 || s == 0 || s0 >= l || (count && *count == 0))
        return std::string(text);
    // 2. The bytes before the scan, unchanged.
    std::string out = Span(text, 1, s0);
    std::optional<Pos> remaining;
    if (count)
        remaining = *count;
    // 3. The scan (1-based position).
    Pos scan = s0 + 1;
    while (l - scan + 1 >= s) {
        if (SameAt(text, scan, sought, !matchCase)) {
            out.append(replacement);
            scan += s;
            if (remaining && --*remaining == 0)
                break;
        } else if (IsHigh(ByteAt(text, scan))) {
            if (scan + 1 > l) {
                scan = l + 1; // the lone byte is dropped and the scan stops
                break;
            }
            out += Span(text, scan, scan + 1);
            scan += 2;
        } else {
            out.push_back(static_cast<char>(ByteAt(text, scan)));
            scan += 1;
        }
    }
    // 4. The rest.
    out += Span(text, scan, l);
    return out;
}

Pieces Split(std::string_view text, std::string_view separator, std::optional<int> limit) {
    const Pos l = Length(text);
    const Pos s = Length(separator);
    std::optional<Pos> remaining;
    if (limit)
        remaining = std::max(*limit, 0);
    Pieces pieces;
    // 1. and 2.
    if (l == 0 || (remaining && *remaining == 0))
        return pieces;
    if (s == 0)
        return {std::string(text)};
    // 3. The walk.
    Pos pieceStart = 1;
    Pos walk = 1;
    while (l - walk + 1 >= s) {
        if (SameAt(text, walk, separator, false)) {
            pieces.push_back(Span(text, pieceStart, walk - 1));
            walk += s;
            pieceStart = walk;
            if (remaining && --*remaining == 0)
                return pieces;
        } else if (IsHigh(ByteAt(text, walk))) {
            if (walk + 1 > l)
                break;
            walk += 2;
        } else {
            walk += 1;
        }
    }
    // 4. The rest, when not empty.
    if (pieceStart <= l)
        pieces.push_back(Span(text, pieceStart, l));
    return pieces;
}

std::string Trim(std::string_view text) {
    const Pos l = Length(text);
    // 1. Leading blanks.
    Pos begin = 1;
    while (begin <= l) {
        if (IsBlankSpace(text, begin))
            begin += 1;
        else if (IsFullWidthSpace(text, begin))
            begin += 2;
        else
            break;
    }
    // 2. Trailing blanks and a broken character at the end.
    Pos end = l; // last byte kept
    std::optional<Pos> runStart;
    for (Pos p = begin; p <= l;) {
        if (IsBlankSpace(text, p)) {
            if (!runStart)
                runStart = p;
            p += 1;
        } else if (IsHigh(ByteAt(text, p)) && p == l) {
            runStart.reset();
            end = p - 1;
            break;
        } else if (IsFullWidthSpace(text, p)) {
            if (!runStart)
                runStart = p;
            p += 2;
        } else {
            runStart.reset();
            p += IsHigh(ByteAt(text, p)) ? 2 : 1;
        }
    }
    if (runStart)
        end = *runStart - 1;
    return Span(text, begin, end);
}

std::string RemoveSpaces(std::string_view text) {
    const Pos l = Length(text);
    std::string out;
    for (Pos p = 1; p <= l;) {
        const unsigned char c = ByteAt(text, p);
        if (c == 0x20) {
            p += 1;
        } else if (IsHigh(c)) {
            if (p == l)
                break; // a broken character at the end is left out
            if (!IsFullWidthSpace(text, p))
                out += Span(text, p, p + 1);
            p += 2;
        } else {
            out.push_back(static_cast<char>(c));
            p += 1;
        }
    }
    return out;
}

std::string ToLower(std::string_view text) {
    const Pos l = Length(text);
    std::string out;
    for (Pos p = 1; p <= l;) {
        const unsigned char c = ByteAt(text, p);
        if (IsHigh(c)) {
            out += Span(text, p, std::min(p + 1, l));
            p += 2;
        } else {
            out.push_back(static_cast<char>(Folded(c)));
            p += 1;
        }
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    if (Length(prefix) > Length(text))
        return false;
    for (Pos p = 1; p <= Length(prefix); ++p)
        if (ByteAt(text, p) != ByteAt(prefix, p))
            return false;
    return true;
}

int Compare(std::string_view a, std::string_view b) {
    for (Pos p = 1;; ++p) {
        const bool aEnded = p > Length(a);
        const bool bEnded = p > Length(b);
        if (aEnded || bEnded)
            return aEnded && bEnded ? 0 : (aEnded ? -1 : 1);
        if (ByteAt(a, p) != ByteAt(b, p))
            return ByteAt(a, p) < ByteAt(b, p) ? -1 : 1;
    }
}

int ToInteger(std::string_view text) {
    // 1. Full-width characters made narrow.
    std::string narrow;
    const Pos l = Length(text);
    for (Pos p = 1; p <= l;) {
        const unsigned char c = ByteAt(text, p);
        if (!IsHigh(c)) {
            narrow.push_back(static_cast<char>(c));
            p += 1;
            continue;
        }
        if (p == l)
            break;
        const unsigned char t = ByteAt(text, p + 1);
        if (c == 0xA3 && t >= 0xA1 && t <= 0xFE)
            narrow.push_back(static_cast<char>(t - 0x80));
        else if (c == 0xA1 && t == 0xA1)
            narrow.push_back(' ');
        else if (c == 0xA1 && t == 0xAB)
            narrow.push_back('~');
        else if (c == 0xA1 && (t == 0xEE || t == 0xEF))
            narrow.push_back('*');
        else
            narrow += Span(text, p, p + 1);
        p += 2;
    }
    // 2. The number.
    std::size_t i = 0;
    while (i < narrow.size() && (narrow[i] == ' ' || (narrow[i] >= 0x09 && narrow[i] <= 0x0D)))
        ++i;
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-'))
        negative = narrow[i++] == '-';
    std::uint32_t value = 0;
    while (i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9')
        value = value * 10 + static_cast<std::uint32_t>(narrow[i++] - '0');
    if (negative)
        value = ~value + 1;
    return static_cast<int>(value);
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        int start, bool ignoreCase) {
    // "#引号" in GBK.
    constexpr std::string_view kQuoteToken = "\x23\xD2\xFD\xBA\xC5";
    const std::string l = Replace(left, kQuoteToken, "\"", std::nullopt, std::nullopt, true);
    const std::string r = Replace(right, kQuoteToken, "\"", std::nullopt, std::nullopt, true);
    Pos p = Find(text, l, start, ignoreCase);
    if (p != -1)
        p += Length(l);
    const Pos e = Find(text, r, static_cast<int>(p), ignoreCase);
    if (p == -1 || e == -1)
        return {};
    return Mid(text, p, e - p);
}

std::string HeaderFieldValue(std::string_view line) {
    const Pos q = Find(line, ":", std::nullopt, false);
    if (q == -1)
        return {};
    return Trim(Right(line, Length(line) - q));
}

std::string HostOfUrl(std::string_view url, bool reduce, bool keepPort,
                      std::optional<int> labelCount) {
    std::string s = ToLower(url);
    if (labelCount) {
        s = Replace(s, "http://", "", std::nullopt, std::nullopt, true);
        s = Replace(s, "https://", "", std::nullopt, std::nullopt, true);
        if (const int slash = Find(s, "/", std::nullopt, false); slash != -1)
            s = Left(s, slash - 1);
        const Pos l = Length(s);
        int h = static_cast<int>(l);
        // Once h is -1 every further search gives -1 again.
        for (int i = 0; i < *labelCount && h != -1; ++i)
            h = FindReverse(s, ".", h, false);
        const int dot = FindReverse(s, ".", h, false);
        if (reduce) {
            s = Right(s, l - dot);
        } else if (dot != -1) {
            const int dot2 = FindReverse(s, ".", dot, false);
            if (dot2 != -1)
                s = Right(s, l - dot2);
        }
    } else {
        if (Right(s, 1) != "/")
            s += "/";
        if (Left(s, 8) == "https://") {
            s = TextBetween(s, "https://", "/", 0, false);
        } else {
            if (Find(s, "http://", std::nullopt, false) == -1)
                s = "http://" + s;
            s = TextBetween(s, "http://", "/", 0, false);
        }
        if (reduce) {
            const Pieces labels = Split(s, ".", std::nullopt);
            if (labels.size() > 1)
                s = labels[labels.size() - 2] + "." + labels.back();
        }
    }
    if (!keepPort) {
        if (const int colon = Find(s, ":", std::nullopt, false); colon != -1)
            s = Left(s, colon - 1);
    }
    return s;
}

int PortOfUrl(std::string_view url) {
    const std::string h = HostOfUrl(url, false, true, std::nullopt);
    const int a = FindReverse(h, ":", std::nullopt, false);
    if (a != -1)
        return ToInteger(Right(h, Length(h) - a));
    return Left(ToLower(url), 5) == "https" ? 443 : 80;
}

std::string CookieNameOf(std::string_view entry) {
    const int q = Find(entry, "=", std::nullopt, false);
    return Trim(q == -1 ? std::string(entry) : Left(entry, q - 1));
}

std::string JoinDistinct(std::string_view text, std::string_view separator) {
    Pieces seen;
    std::string joined;
    for (const std::string& piece : Split(text, separator, std::nullopt)) {
        if (std::find(seen.begin(), seen.end(), piece) != seen.end())
            continue;
        seen.push_back(piece);
        joined += piece;
        joined += separator;
    }
    return Left(joined, Length(joined) - Length(separator));
}

std::string MergeCookies(std::string& kept, std::string& fresh) {
    // 1.
    kept = RemoveSpaces(kept);
    fresh = RemoveSpaces(fresh);
    // 2.
    const Pieces a = Split(kept, ";", std::nullopt);
    Pieces b = Split(fresh, ";", std::nullopt);
    // 3. b grows while the kept entries are walked.
    for (const std::string& entry : a) {
        const std::string name = CookieNameOf(entry);
        bool named = false;
        for (const std::string& other : b)
            named = named || CookieNameOf(other) == name;
        if (!named)
            b.push_back(entry);
    }
    // 4. to 6.
    kept.clear();
    for (const std::string& entry : b) {
        if (Right(entry, 8) != "=deleted")
            kept += entry + "; ";
    }
    kept = Left(kept, Length(kept) - 2);
    kept = JoinDistinct(kept, "; ");
    // 7.
    return kept;
}

} // namespace tavenro::reference
