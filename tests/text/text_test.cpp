#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace tavenro {
namespace {

using std::nullopt;

// 學 is 8C 57: its second byte lies in A-Z. 寃 is 8C 77. "　" is A1 A1.
const std::string kXue = "學";
const std::string kLoneLead = "\x8C";

TEST(TextCutting, LeftRightMid) {
    struct Case {
        std::string got, want;
    };
    const std::vector<Case> cases = {
        {TextLeft("abc", 0), ""},
        {TextLeft("abc", -5), ""},
        {TextLeft("abc", 10), "abc"},
        {TextLeft("abc", 2), "ab"},
        {TextRight("abc", 2), "bc"},
        {TextRight("abc", 0), ""},
        {TextRight("abc", 9), "abc"},
        {TextMid("abcdef", 3, 2), "cd"},
        {TextMid("abcdef", 5, 10), "ef"},
        {TextMid("abcdef", 0, 2), ""},
        {TextMid("abcdef", 7, 1), ""},
        {TextMid("abcdef", 2, 0), ""},
        {TextMid("abcdef", 6, 1), "f"},
        // Counting routines count bytes and may halve a character.
        {TextLeft(kXue, 1), "\x8C"},
        {TextRight(kXue, 1), "W"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].got, cases[i].want);
    }
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength(kXue), 2);
}

TEST(TextSearch, FindText) {
    struct Case {
        std::string text, sought;
        std::optional<int> start;
        int exact, ignoringCase;
    };
    const std::vector<Case> cases = {
        {"abcabc", "bc", nullopt, 2, 2},
        {"abcabc", "bc", 3, 5, 5},
        {"abcabc", "bc", 6, -1, -1},
        {"abcabc", "bc", 0, 2, 2},
        {"abcabc", "bc", -1, 2, 2},
        {"abcabc", "bc", 99, -1, -1},
        {"abc", "", 3, 1, 1},
        {"abc", "", 4, -1, -1},
        {"", "", nullopt, -1, -1},
        {"", "a", nullopt, -1, -1},
        {"User-agent: x", "USER-AGENT:", nullopt, -1, 1},
        {"ab", "abc", nullopt, -1, -1},
        // A match never begins on the second byte of a character ...
        {kXue + "W", "W", nullopt, 3, 3},
        {kXue, "W", nullopt, -1, -1},
        {"\xB0\xA1"
         "a\xB0\xA1"
         "a",
         "a", 4, 6, 6},
        // ... but compares bytes, so it may end inside one.
        {"x\x8C", "\x8C", nullopt, 2, 2},
        {"\x8C\x8C\x8C", "\x8C", nullopt, 1, 1},
        // Ignoring case folds every compared byte, second bytes too.
        {kXue, "寃", nullopt, -1, 1},
        // A lead byte just before the end stops the walk.
        {"a" + kLoneLead, "b", nullopt, -1, -1},
        // Longer than a word of eight bytes: the parity of a long run of
        // lead bytes decides, across word boundaries.
        {std::string(9, '\xB0') + "W", "W", nullopt, -1, -1},
        {std::string(10, '\xB0') + "W", "W", nullopt, 11, 11},
        {std::string(9, '\xB0') + "WW", "W", nullopt, 11, 11},
        {"ab" + std::string(17, '\xB0') + "WxW", "W", 3, 22, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text=" << c.text << " sought=" << c.sought
                                        << " start=" << c.start.value_or(-999));
        EXPECT_EQ(FindText(c.text, c.sought, c.start, false), c.exact);
        EXPECT_EQ(FindText(c.text, c.sought, c.start, true), c.ignoringCase);
    }
}

TEST(TextSearch, FindTextReverse) {
    struct Case {
        std::string text, sought;
        std::optional<int> start;
        int exact, ignoringCase;
    };
    const std::vector<Case> cases = {
        {"a.b.c", ".", nullopt, 4, 4},
        {"a.b.c", ".", 4, 2, 2},
        {"a.b.c", ".", 2, -1, -1},
        {"a.b.c", ".", 1, -1, -1},
        {"a.b.c", ".", 0, -1, -1},
        {"a.b.c", ".", -1, -1, -1},
        {"a.b.", ".", 4, 2, 2},
        {"a.b.", ".", nullopt, 4, 4},
        {"a.b.", ".", 100, 4, 4},
        {"aaa", "aa", nullopt, 2, 2},
        {"abc", "", nullopt, 1, 1},
        {"abc", "", 1, -1, -1},
        {"", "", nullopt, -1, -1},
        {"xAxa", "a", nullopt, 4, 4},
        {"xaxA", "a", nullopt, 2, 4},
        {kXue + "W" + kXue, "W", nullopt, 3, 3},
        {kXue + kXue, "W", nullopt, -1, -1},
        {"W" + std::string(20, 'x'), "W", nullopt, 1, 1},
        {std::string(9, '\xB0') + "W" + std::string(16, 'x'), "W", nullopt, -1, -1},
        {std::string(10, '\xB0') + "W" + std::string(16, 'x'), "W", nullopt, 11, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text=" << c.text << " sought=" << c.sought
                                        << " start=" << c.start.value_or(-999));
        EXPECT_EQ(FindTextReverse(c.text, c.sought, c.start, false), c.exact);
        EXPECT_EQ(FindTextReverse(c.text, c.sought, c.start, true), c.ignoringCase);
    }
}

TEST(TextReplace, ReplaceText) {
    struct Case {
        std::string text, sought, replacement;
        std::optional<int> start, count;
        bool matchCase;
        std::string want;
    };
    const std::vector<Case> cases = {
        {"Set-cookie: a; SET-COOKIE: b", "set-cookie", "Set-Cookie", nullopt, nullopt, false,
         "Set-Cookie: a; Set-Cookie: b"},
        {"Set-cookie: a", "set-cookie", "X", nullopt, nullopt, true, "Set-cookie: a"},
        {"aaa", "a", "b", 2, nullopt, true, "abb"},
        {"aaa", "a", "b", 2, 1, true, "aba"},
        {"aaa", "a", "b", 2, 0, true, "aaa"},
        {"aaa", "a", "b", 4, nullopt, true, "aaa"},
        {"aaa", "a", "b", -3, nullopt, true, "bbb"},
        {"aaa", "a", "b", INT_MIN, nullopt, true, "bbb"},
        {"aaa", "a", "b", nullopt, -1, true, "bbb"},
        {"aaa", "a", "b", nullopt, INT_MIN, true, "bbb"},
        {"a-b-c", "-", "", nullopt, nullopt, true, "abc"},
        {"abc", "", "x", nullopt, nullopt, true, "abc"},
        {"", "a", "x", nullopt, nullopt, true, ""},
        // The replacement is not rescanned.
        {"aa", "a", "aa", nullopt, nullopt, true, "aaaa"},
        // Second bytes are never the start of a match.
        {kXue + "W", "W", "w", nullopt, nullopt, true, kXue + "w"},
        // A lone lead byte at the end is dropped when the walk reaches it ...
        {"ab" + kLoneLead, "a", "x", nullopt, nullopt, true, "xb"},
        // ... and kept when fewer bytes remain than the sought text is long.
        {"ab" + kLoneLead, "ab", "x", nullopt, nullopt, true, "x" + kLoneLead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text=" << c.text << " sought=" << c.sought);
        EXPECT_EQ(ReplaceText(c.text, c.sought, c.replacement, c.start, c.count, c.matchCase),
                  c.want);
    }
}

std::vector<std::string> Pieces(const TextArray& list) {
    return {list.begin(), list.end()};
}

TEST(TextSplit, SplitText) {
    using V = std::vector<std::string>;
    struct Case {
        std::string text, separator;
        std::optional<int> limit;
        V want;
    };
    const std::vector<Case> cases = {
        {"a;;b", ";", nullopt, {"a", "", "b"}},
        {";a", ";", nullopt, {"", "a"}},
        {"a;", ";", nullopt, {"a"}},
        {";", ";", nullopt, {""}},
        {"", ";", nullopt, {}},
        {"abc", ";", nullopt, {"abc"}},
        {"a,b,c", ",", 2, {"a", "b"}},
        {"a,b,c", ",", 3, {"a", "b", "c"}},
        {"a,b,c", ",", 0, {}},
        {"a,b,c", ",", -2, {}},
        {"x\r\ny\r\n", "\r\n", nullopt, {"x", "y"}},
        {"abc", "", nullopt, {"abc"}},
        {kXue + "W;", "W", nullopt, {kXue, ";"}},
        {"a;" + kLoneLead, ";", nullopt, {"a", kLoneLead}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text=" << c.text << " separator=" << c.separator);
        EXPECT_EQ(Pieces(SplitText(c.text, c.separator, c.limit)), c.want);
    }
    EXPECT_EQ(Pieces(SplitText("a,b")), (V{"a", "b"}));
}

TEST(TextBlanks, TrimAndRemoveSpaces) {
    struct Case {
        std::string text, trimmed, withoutSpaces;
    };
    const std::vector<Case> cases = {
        {"  　a b 　 ", "a b", "ab"},
        {"\ta ", "\ta", "\ta"},
        {"   ", "", ""},
        {"", "", ""},
        {" a = b ;　c ", "a = b ;　c", "a=b;c"},
        {"　　x", "x", "x"},
        // A broken character at the end goes; the blanks before it stay.
        {"a " + kLoneLead, "a ", "a"},
        {"\xA1", "", ""},
        // Blanks only count on a character boundary: here A1 is a second
        // byte, then A1 A1 a full-width space; a space after a lead byte
        // is that character's second byte.
        {"\x8C\xA1\xA1\xA1", "\x8C\xA1", "\x8C\xA1"},
        {"\xB0\xA1\xA1 ", "\xB0\xA1\xA1 ", "\xB0\xA1\xA1 "},
        // Across the eight-byte words: a full-width space in bytes 8-9; an
        // A1 that a run of seven lead bytes makes a second byte.
        {"abcdefg\xA1\xA1hij", "abcdefg\xA1\xA1hij", "abcdefghij"},
        {std::string(7, '\xB0') + "\xA1\xA1\xA1x", std::string(7, '\xB0') + "\xA1\xA1\xA1x",
         std::string(7, '\xB0') + "\xA1x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TrimText(c.text), c.trimmed);
        EXPECT_EQ(RemoveSpaces(c.text), c.withoutSpaces);
    }
}

TEST(TextCase, ToLowerStartsWithCompare) {
    EXPECT_EQ(ToLower("AbC-學"), "abc-學");
    EXPECT_EQ(ToLower("Z" + kLoneLead), "z" + kLoneLead);
    EXPECT_EQ(ToLower("\xC4\xD6"
                      "AB"),
              "\xC4\xD6"
              "ab");
    EXPECT_EQ(ToLower(std::string(9, '\xB0') + "AB"), std::string(9, '\xB0') + "Ab");
    EXPECT_EQ(ToLower(std::string(8, '\xB0') + "AB"), std::string(8, '\xB0') + "ab");

    EXPECT_TRUE(StartsWith("abcd", "ab"));
    EXPECT_FALSE(StartsWith("ABcd", "ab"));
    EXPECT_FALSE(StartsWith("a", "ab"));
    EXPECT_TRUE(StartsWith("abcd", ""));

    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_EQ(CompareText("abc", "abd"), -1);
    EXPECT_EQ(CompareText("ab", "abc"), -1);
    EXPECT_EQ(CompareText("b", "B"), 1);
    EXPECT_EQ(CompareText("\x80", "a"), 1); // unsigned byte order
}

TEST(TextBuild, CharConcatBitOr) {
    EXPECT_EQ(CharFromCode(0), "");
    EXPECT_EQ(CharFromCode(65), "A");
    EXPECT_EQ(ConcatText({"a", "", "bc", "學"}), "abc學");
    EXPECT_EQ(ConcatText({"", ""}), "");
    static_assert(BitOr({0x80000000u, 0x10u, 0x4000u}) == 0x80004010u);
}

} // namespace
} // namespace tavenro
