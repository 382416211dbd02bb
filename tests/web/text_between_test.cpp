#include "web/text_between.h"

#include <gtest/gtest.h>

namespace tavenro {
namespace {

TEST(TextBetweenTest, Markers) {
    struct Case {
        const char* text;
        const char* left;
        const char* right;
        int start;
        const char* exact;      // ignore case false
        const char* ignoreCase; // ignore case true
    };
    const Case cases[] = {
        // A right marker equal to the left one finds the second copy.
        {"ab[1]V1.0[1]cd", "[1]", "[1]", 0, "V1.0", "V1.0"},
        {"ab[1][1]", "[1]", "[1]", 0, "", ""},
        {"ab[1]V1.0", "[1]", "[1]", 0, "", ""},
        // A right marker that stands only before the left one does not count.
        {"x;Set-Cookie: a", "Set-Cookie:", ";", 0, "", ""},
        {"<b>1</b><b>2</b>", "<b>", "</b>", 0, "1", "1"},
        // "#引号" in a marker stands for a double quote.
        {"id=\"42\"", "id=#引号", "#引号", 0, "42", "42"},
        {"a#引号b#引号", "a", "#引号", 0, "", ""},
        {"USER-AGENT: x\r\n", "User-Agent:", "\r\n", 0, "", " x"},
        {"[a]1[/a][a]2[/a]", "[a]", "[/a]", 5, "2", "2"},
        {"[a]1[/a][a]2[/a]", "[a]", "[/a]", 1, "1", "1"},
        {"[a]1[/a][a]2[/a]", "[a]", "[/a]", -7, "1", "1"},
        {"[a]1[/a]", "[a]", "[/a]", 100, "", ""},
        // A left marker at the very end leaves nothing to search.
        {"abc[", "[", "]", 0, "", ""},
        {"abc[", "[", "", 0, "", ""},
        {"", "[", "]", 0, "", ""},
        // The W (0x57) inside 學 (8C 57) is a second byte, not a marker.
        {"a學xWb", "a", "W", 0, "學x", "學x"},
        {"歌曲[1]名称[1]", "[1]", "[1]", 0, "名称", "名称"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" between \"" << c.left << "\" and \""
                                        << c.right << "\" from " << c.start);
        EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, false), c.exact);
        EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, true), c.ignoreCase);
    }
}

TEST(TextBetweenTest, DefaultsSearchFromTheStartMatchingCase) {
    EXPECT_EQ(TextBetween("[A]1[/A][a]2[/a]", "[a]", "[/a]"), "2");
}

TEST(HeaderFieldValueTest, ValueAfterFirstColon) {
    struct Case {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"User-Agent:  Foo/1.0 ", "Foo/1.0"},
        {"Host: a:8080", "a:8080"},
        {"no colon here", ""},
        {":", ""},
        {"", ""},
        {"Name:\tv ", "\tv"}, // a tab is not a blank
        {"X:　值　", "值"},   // full-width blanks are
        {"\x81:a: b", "b"},   // the colon after 0x81 is that character's second byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(HeaderFieldValue(c.line), c.value);
    }
}

} // namespace
} // namespace tavenro
