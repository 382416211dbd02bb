#include "text/text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tavenro {

namespace {

using Size = std::string_view::size_type;

constexpr unsigned char kFullWidthSpaceByte = 0xA1;

bool IsLead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

bool IsFullWidthSpace(std::string_view text, Size i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == kFullWidthSpaceByte &&
           static_cast<unsigned char>(text[i + 1]) == kFullWidthSpaceByte;
}

constexpr Size npos = std::string_view::npos;

// Whether the bytes at `at` equal the sought text with A-Z taken as a-z on
// both sides, byte by byte (second bytes of characters included).
bool EqualFolded(const char* at, std::string_view sought) {
    for (Size k = 0; k < sought.size(); ++k)
        if (FoldAscii(at[k]) != FoldAscii(sought[k]))
            return false;
    return true;
}

bool EqualAt(std::string_view text, Size at, std::string_view sought, bool ignoreCase) {
    if (ignoreCase)
        return EqualFolded(text.data() + at, sought);
    // A few bytes are compared in place: calling memcmp costs more.
    if (sought.size() <= 8) {
        for (Size k = 0; k < sought.size(); ++k)
            if (text[at + k] != sought[k])
                return false;
        return true;
    }
    return std::memcmp(text.data() + at, sought.data(), sought.size()) == 0;
}

// Eight bytes at a time, read from wherever they lie.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

std::uint64_t WordAt(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Bit 7 of each byte of the word that is zero, and no other bit.
std::uint64_t ZeroBytes(std::uint64_t word) {
    const std::uint64_t nonZero = (((word & ~kHighs) + ~kHighs) | word) & kHighs;
    return ~nonZero & kHighs;
}

// The number of bytes 0x80-0xFF right before p, not counting below `floor`.
Size HighRunBefore(std::string_view text, Size floor, Size p) {
    static_assert(std::endian::native == std::endian::little, "the first byte is the lowest");
    Size q = p;
    while (q - floor >= 8) {
        // Bit 7 of each byte below 0x80; the highest one marks the last.
        const std::uint64_t lows = ~WordAt(text.data() + q - 8) & kHighs;
        if (lows != 0)
            return p - q + static_cast<Size>(std::countl_zero(lows) / 8);
        q -= 8;
    }
    while (q > floor && IsLead(text[q - 1]))
        --q;
    return p - q;
}

// Whether a character starts at byte p, given that one starts at `from`
// (from <= p). A byte below 0x80 always ends a character, so only the run of
// high bytes right before p decides: an even run pairs up, an odd one leaves
// p as the second byte of the run's last character.
bool StartsCharacter(std::string_view text, Size from, Size p) {
    return HighRunBefore(text, from, p) % 2 == 0;
}

// The searches, RemoveSpaces and ToLower find candidate bytes with byte
// routines (memchr, eight bytes at a time) and then ask whether each lies on
// a character boundary, instead of walking every character; they give the
// results of the walk. A candidate on a second byte moves the known boundary
// just past it, so the runs of high bytes looked at never overlap and every
// routine stays linear in the text.

// Calls visit(p) for every byte p of the text that `flags` marks (it gives
// bit 7 of each marked byte of a word) or, in the last few bytes, that
// `marked` accepts; in increasing order, eight bytes at a time.
template <typename Flags, typename Marked, typename Visit>
void ForEachMarked(std::string_view text, Flags flags, Marked marked, Visit visit) {
    const Size length = text.size();
    Size i = 0;
    for (; i + 8 <= length; i += 8)
        for (std::uint64_t found = flags(WordAt(text.data() + i)); found != 0; found &= found - 1)
            visit(i + static_cast<Size>(std::countr_zero(found) / 8));
    for (; i < length; ++i)
        if (marked(text[i]))
            visit(i);
}

// The positions in [from, last] holding byte a or byte b, in increasing
// order: memchr for each byte, its last answer kept until passed.
class ByteScanner {
  public:
    ByteScanner(std::string_view text, char a, char b, Size last)
        : text_(text), a_(a), b_(b), last_(last) {}

    // The first such position at or after `from`, or npos.
    Size Next(Size from) {
        Refresh(nextA_, a_, from);
        if (a_ == b_)
            return nextA_;
        Refresh(nextB_, b_, from);
        return std::min(nextA_, nextB_);
    }

  private:
    static constexpr Size kUnknown = npos - 1;

    void Refresh(Size& next, char c, Size from) const {
        if (next == npos || (next != kUnknown && next >= from))
            return; // none left, or still ahead
        if (from > last_) {
            next = npos;
            return;
        }
        const void* hit = std::memchr(text_.data() + from, c, last_ - from + 1);
        next = hit ? static_cast<Size>(static_cast<const char*>(hit) - text_.data()) : npos;
    }

    std::string_view text_;
    char a_, b_;
    Size last_;
    Size nextA_ = kUnknown, nextB_ = kUnknown;
};

// The two byte values that a first sought byte stands for: itself and, when
// case is ignored and it is a letter, the letter in the other case.
std::pair<char, char> FirstBytes(char first, bool ignoreCase) {
    if (!ignoreCase)
        return {first, first};
    const char lower = FoldAscii(first);
    const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 0x20) : lower;
    return {lower, upper};
}

// The first character boundary at or after `from` (itself a boundary) where
// `sought` (non-empty) matches and that lies wholly before `end`; npos when
// none. (The walk by characters would end at a lead byte that is the last
// byte of the text, but only after comparing there: no candidate is lost.)
Size FindForward(std::string_view text, std::string_view sought, Size from, Size end,
                 bool ignoreCase) {
    const Size s = sought.size();
    if (end < s || end - s < from)
        return npos;
    const auto [a, b] = FirstBytes(sought[0], ignoreCase);
    ByteScanner scanner(text, a, b, end - s);
    Size known = from; // a character starts here
    for (Size p = scanner.Next(from); p != npos; p = scanner.Next(p + 1)) {
        if (!EqualAt(text, p, sought, ignoreCase))
            continue;
        if (StartsCharacter(text, known, p))
            return p;
        known = p + 1; // p is a second byte: the next character starts after it
    }
    return npos;
}

// The last position at or before p holding byte a or byte b, or npos; eight
// bytes at a time while none of them is either.
Size FindByteBackward(std::string_view text, char a, char b, Size p) {
    const std::uint64_t spreadA = kOnes * static_cast<unsigned char>(a);
    const std::uint64_t spreadB = kOnes * static_cast<unsigned char>(b);
    Size end = p + 1; // exclusive
    for (; end >= 8; end -= 8) {
        const std::uint64_t word = WordAt(text.data() + end - 8);
        const std::uint64_t found = ZeroBytes(word ^ spreadA) | ZeroBytes(word ^ spreadB);
        if (found != 0) // the highest flag is the last such byte
            return end - 8 + static_cast<Size>((63 - std::countl_zero(found)) / 8);
    }
    while (end > 0) {
        --end;
        if (text[end] == a || text[end] == b)
            return end;
    }
    return npos;
}

// The last character boundary (counted from the beginning of the text)
// where `sought` (non-empty) matches wholly before `end`; npos when none.
Size FindBackward(std::string_view text, std::string_view sought, Size end, bool ignoreCase) {
    const Size s = sought.size();
    if (end < s)
        return npos;
    const auto [a, b] = FirstBytes(sought[0], ignoreCase);
    // Where the run of high bytes before the last candidate looked at began:
    // a boundary, with only high bytes from there to that candidate.
    Size runStart = npos;
    for (Size p = end - s;; --p) {
        p = FindByteBackward(text, a, b, p);
        if (p == npos)
            return npos;
        if (EqualAt(text, p, sought, ignoreCase)) {
            if (p == 0 || !IsLead(text[p - 1]))
                return p; // right after a byte below 0x80
            if (runStart == npos || p < runStart)
                runStart = p - HighRunBefore(text, 0, p);
            if ((p - runStart) % 2 == 0)
                return p;
        }
        if (p == 0)
            return npos;
    }
}

int Position(Size index) {
    return index == std::string_view::npos ? -1 : static_cast<int>(index) + 1;
}

} // namespace

int TextLength(std::string_view text) {
    return static_cast<int>(text.size());
}

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
    return Position(FindBackward(text, sought, end, ignoreCase));
}

Text ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement,
                 std::optional<int> start, std::optional<int> count, bool matchCase) {
    const Size length = text.size();
    // start - 1 would overflow for the least int; any start below 2 scans from the beginning.
    const Size s0 = start && *start > 1 ? static_cast<Size>(*start - 1) : 0;
    if (length == 0 || sought.empty() || s0 >= length || (count && *count == 0))
        return Text(text);
    const bool ignoreCase = !matchCase;
    // A count below 0 never reaches 0 however often it is lowered (and must
    // not be lowered past the least int): no limit.
    const bool limited = count && *count > 0;
    int remaining = limited ? *count : 0;
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
        if (limited && --remaining == 0)
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
    if (begin == length)
        return {};
    // The trailing blanks are found from the end rather than by walking the
    // whole text: whether a character starts at a byte depends only on the
    // run of high bytes before it (StartsCharacter), counted from `begin`.
    // A broken character at the end goes; blanks before it stay.
    if (IsLead(text[length - 1]) && StartsCharacter(text, begin, length - 1))
        return Text(text.substr(begin, length - 1 - begin));
    // From here `end` is a character boundary. Two bytes A1 A1 right before
    // a boundary are one character: a high byte right before a boundary is
    // always a second byte. A space is a blank only where a character starts.
    Size end = length;
    while (end > begin) {
        if (end - begin >= 2 && IsFullWidthSpace(text, end - 2))
            end -= 2;
        else if (text[end - 1] == ' ' && StartsCharacter(text, begin, end - 1))
            end -= 1;
        else
            break;
    }
    return Text(text.substr(begin, end - begin));
}

Text RemoveSpaces(std::string_view text) {
    // The text between blanks is copied in spans. Only the bytes 0x20 and A1
    // are looked at, and each is a blank only where a character starts.
    const Size length = text.size();
    Text out(length, '\0');
    char* kept = out.data();
    Size copied = 0; // bytes before this are dealt with
    const auto keepUpTo = [&](Size p, Size next) {
        std::memcpy(kept, text.data() + copied, p - copied);
        kept += p - copied;
        copied = next;
    };
    Size known = 0; // a character starts here
    Size owned = 0; // bytes before this belong to characters already seen
    const std::uint64_t spaces = kOnes * ' ';
    const std::uint64_t fullWidth = kOnes * kFullWidthSpaceByte;
    ForEachMarked(
        text,
        [&](std::uint64_t word) { return ZeroBytes(word ^ spaces) | ZeroBytes(word ^ fullWidth); },
        [](char c) { return c == ' ' || static_cast<unsigned char>(c) == kFullWidthSpaceByte; },
        [&](Size p) {
            if (p < owned)
                return; // the second byte of an A1 character
            // An A1 not followed by another starts no full-width space,
            // whatever it is (GBK pages are full of A1 characters); passing
            // it over leaves `known` where it was, still a character start.
            if (text[p] != ' ' && !IsFullWidthSpace(text, p))
                return;
            if (!StartsCharacter(text, known, p)) {
                known = p + 1; // a second byte
                return;
            }
            if (text[p] == ' ') {
                keepUpTo(p, p + 1);
                known = p + 1;
                return;
            }
            keepUpTo(p, p + 2); // a full-width space
            known = owned = p + 2;
        });
    Size end = length;
    if (length > 0 && IsLead(text[length - 1]) && known <= length - 1 &&
        StartsCharacter(text, known, length - 1))
        end = length - 1; // a broken character at the end is left out
    if (end > copied)
        keepUpTo(end, end);
    out.resize(static_cast<Size>(kept - out.data()));
    return out;
}

Text ToLower(std::string_view text) {
    // Copied whole; then only the bytes in A-Z are looked at, each lowered
    // where it starts a character.
    Text out(text);
    Size known = 0; // a character starts here
    ForEachMarked(
        text,
        [](std::uint64_t word) {
            // Per byte, without carries: bit 7 of (b & 0x7F) + 0x3F is set
            // for b & 0x7F >= 0x41, of (b & 0x7F) + 0x25 for b & 0x7F >= 0x5B.
            const std::uint64_t low = word & ~kHighs;
            return (low + 0x3F * kOnes) & ~(low + 0x25 * kOnes) & ~word & kHighs;
        },
        [](char c) { return c >= 'A' && c <= 'Z'; },
        [&](Size p) {
            if (StartsCharacter(text, known, p))
                out[p] = static_cast<char>(out[p] + 0x20);
            known = p + 1; // after a one-byte character or after a second byte
        });
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
