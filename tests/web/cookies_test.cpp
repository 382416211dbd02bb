#include "web/cookies.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tavenro {
namespace {

TextArray ListOf(std::initializer_list<const char*> items) {
    TextArray list;
    for (const char* item : items)
        ArrayAppend(list, item);
    return list;
}

TEST(MergeCookiesTest, FreshWinsKeptFollows) {
    struct Case {
        const char* kept;
        const char* fresh;
        const char* merged; // kept afterwards, and the result
        const char* freshAfter;
    };
    const Case cases[] = {
        {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
        {"a=1; b=2", "b=deleted", "a=1", "b=deleted"},
        {"a=1; b=2", "a=deleted; c=3", "c=3; b=2", "a=deleted;c=3"},
        {"a=1; b=deleted", "", "a=1", ""},
        {"a=1; b=2", "a=Deleted", "a=Deleted; b=2", "a=Deleted"}, // only the exact word
        {"", "x=1; y=2", "x=1; y=2", "x=1;y=2"},
        {"x=1", "", "x=1", ""},
        {"", "", "", ""},
        {"a=1; a=2", "", "a=1", ""},
        {"", "a=1; a=1", "a=1", "a=1;a=1"},
        {"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
        {"a=0", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
        {"s = hello world", "", "s=helloworld", ""},
        {"a=1;　b=2", "", "a=1; b=2", ""}, // full-width blank
        {"A=1", "a=2", "a=2; A=1", "a=2"},
        {"a=1;;b=2", "", "a=1; ; b=2", ""},
        {"a=1;", "b=2;", "b=2; a=1", "b=2;"},
        {"名=值; 甲=乙", "名=新", "名=新; 甲=乙", "名=新"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kept \"" << c.kept << "\", fresh \"" << c.fresh << '"');
        Text kept = c.kept;
        Text fresh = c.fresh;
        const Text result = MergeCookies(kept, fresh);
        EXPECT_EQ(kept, c.merged);
        EXPECT_EQ(result, c.merged);
        EXPECT_EQ(fresh, c.freshAfter);
    }
}

TEST(CookieNameOfTest, TrimmedTextBeforeFirstEquals) {
    struct Case {
        const char* entry;
        const char* name;
    };
    const Case cases[] = {
        {"t=a=b", "t"}, {"flag", "flag"}, {" n =v", "n"}, {"=v", ""}, {"", ""}, {"　名　=值", "名"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(CookieNameOf(c.entry), c.name);
    }
}

TEST(HasCookieNamedTest, ComparesNamesExactly) {
    const TextArray entries = ListOf({"a=1", " b =2", "flag", ""});
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"a", true},  {"b", true},    {"flag", true}, {"", true},
        {"A", false}, {"a=1", false}, {"c", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HasCookieNamed(entries, c.name), c.found);
    }
    EXPECT_FALSE(HasCookieNamed(TextArray(), ""));
}

TEST(JoinDistinctTest, DropsRepeatedPieces) {
    struct Case {
        const char* text;
        const char* separator;
        const char* joined;
    };
    const Case cases[] = {
        {"x,y,x,z", ",", "x,y,z"}, {"", ",", ""},
        {"x,,y,,", ",", "x,,y"}, // one empty piece kept, none after the last separator
        {"a; b; a", "; ", "a; b"}, {"a;b; a", "; ", "a;b; a"},
        {"abc", "", "abc"},        {"值,值,價", ",", "值,價"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" at \"" << c.separator << '"');
        EXPECT_EQ(JoinDistinct(c.text, c.separator), c.joined);
    }
}

TEST(PositionInListTest, FirstEqualElement) {
    const TextArray items = ListOf({"a", "b", "a", ""});
    EXPECT_EQ(PositionInList(items, "a"), 1);
    EXPECT_EQ(PositionInList(items, "b"), 2);
    EXPECT_EQ(PositionInList(items, ""), 4);
    EXPECT_EQ(PositionInList(items, "A"), -1);
    EXPECT_EQ(PositionInList(items, "c"), -1);
    EXPECT_EQ(PositionInList(TextArray(), ""), -1);
}

} // namespace
} // namespace tavenro
