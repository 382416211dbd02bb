#include "songs/pattern.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavenro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr std::string_view kSongExpression = "xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'";

using Span = std::pair<int, int>; // start, length of a whole match

std::vector<Span> WholeMatches(const MatchList& matches) {
    std::vector<Span> spans;
    for (const MatchResult& match : matches) {
        spans.emplace_back(match.submatches.at(0).start, match.submatches.at(0).length);
    }
    return spans;
}

Pattern Compiled(std::string_view expression, bool caseSensitive = true) {
    Pattern pattern;
    EXPECT_TRUE(CompilePattern(pattern, expression, caseSensitive)) << expression;
    return pattern;
}

TEST(CompilePattern, AcceptsOrRejects) {
    const struct {
        std::string_view expression;
        bool compiles;
    } cases[] = {
        {kSongExpression, true}, {"", true},          {"(a)|(b)", true},
        {"(?<=a)b", true},       {"(", false},        {"a)", false},
        {"[ab", false},          {"a{3,2}", false},   {"*a", false},
        {"a\\", false},          {"(?<=a+)b", false}, // look-behind of no fixed length
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        Pattern pattern;
        EXPECT_EQ(CompilePattern(pattern, c.expression), c.compiles);
        EXPECT_EQ(pattern.HasExpression(), c.compiles);
    }
}

TEST(CompilePattern, RejectedExpressionKeepsThePreviousOne) {
    Pattern pattern = Compiled("aa");
    EXPECT_FALSE(CompilePattern(pattern, "("));
    EXPECT_THAT(WholeMatches(SearchAll(pattern, "aaaa")), ElementsAre(Span{0, 2}, Span{2, 2}));

    ASSERT_TRUE(CompilePattern(pattern, "b"));
    EXPECT_THAT(WholeMatches(SearchAll(pattern, "aab")), ElementsAre(Span{2, 1}));
}

TEST(CompilePattern, CopyKeepsItsExpressionWhenTheOriginalIsRecompiled) {
    Pattern original = Compiled("a");
    const Pattern copy = original;
    ASSERT_TRUE(CompilePattern(original, "b"));
    EXPECT_THAT(WholeMatches(SearchAll(copy, "ab")), ElementsAre(Span{0, 1}));
    EXPECT_THAT(WholeMatches(SearchAll(original, "ab")), ElementsAre(Span{1, 1}));
}

TEST(SearchAll, NothingWithoutTextOrExpression) {
    for (std::string_view expression : {"x*", "^", "$", "a"}) {
        SCOPED_TRACE(expression);
        EXPECT_THAT(SearchAll(Compiled(expression), ""), IsEmpty());
    }
    Pattern never;
    EXPECT_THAT(SearchAll(never, "abc"), IsEmpty());
    EXPECT_FALSE(CompilePattern(never, "("));
    EXPECT_THAT(SearchAll(never, "abc"), IsEmpty());
}

struct WalkCase {
    std::string_view expression;
    std::string_view text;
    std::vector<Span> want;
};

void ExpectWalk(const WalkCase& c, bool caseSensitive = true) {
    SCOPED_TRACE(testing::Message()
                 << "expression " << c.expression << " over \"" << c.text << "\"");
    EXPECT_THAT(WholeMatches(SearchAll(Compiled(c.expression, caseSensitive), c.text)),
                ElementsAreArray(c.want));
}

TEST(SearchAll, WalksLeftToRightWithoutOverlap) {
    const WalkCase cases[] = {
        {"aa", "aaaa", {{0, 2}, {2, 2}}},
        {"aa", "aaa", {{0, 2}}},
        {"a", "bab", {{1, 1}}},
        {"z", "abc", {}},
        // Perl's order, not the longest: the first alternative that succeeds.
        {"a|ab", "ab", {{0, 1}}},
        {"a.*b", "aXbYb", {{0, 5}}},
        {"a.*?b", "aXbYb", {{0, 3}}},
        // One byte per ".": a double-byte character is two.
        {"..", "學歌", {{0, 2}, {2, 2}}},
        {"^.$", "學", {}},
    };
    for (const auto& c : cases) {
        ExpectWalk(c);
    }
}

TEST(SearchAll, EachFurtherSearchStartsAFreshText) {
    const WalkCase cases[] = {
        {"^a", "aaa", {{0, 1}, {1, 1}, {2, 1}}},
        {"^a", "baa", {}},
        {"\\ba", "aa a", {{0, 1}, {1, 1}, {3, 1}}},
        {"a|\\Bb", "ab", {{0, 1}}},
        // The look-behind cannot see the "a" that the first match took.
        {"(?<=a)b|a", "ab", {{0, 1}}},
        {"(?<=a)b", "abab", {{1, 1}, {3, 1}}},
        // The rest after the last match is searched even when it is empty.
        {"a*", "aa", {{0, 2}, {2, 0}}},
    };
    for (const auto& c : cases) {
        ExpectWalk(c);
    }
}

TEST(SearchAll, EmptyMatches) {
    const WalkCase cases[] = {
        // At the very beginning the walk ends, even where more would match.
        {"x*", "abc", {{0, 0}}},
        {"b*", "abb", {{0, 0}}},
        // Elsewhere an empty match is kept once and the walk goes on past it.
        {"$", "ab", {{2, 0}}},
        {"b*", "bba", {{0, 2}, {2, 0}, {3, 0}}},
        {"b*", "bbab", {{0, 2}, {2, 0}, {3, 1}, {4, 0}}},
        // A non-empty match at the place of an empty one is not lost.
        {"(?=a)|a", "xa", {{1, 0}, {1, 1}}},
        {"$|\n", "a\nb", {{1, 0}, {1, 1}, {3, 0}}},
    };
    for (const auto& c : cases) {
        ExpectWalk(c);
    }
}

TEST(SearchAll, LineBreaks) {
    const WalkCase cases[] = {
        // "." takes every line break.
        {"a.b", "a\nb a\rb a\fb", {{0, 3}, {4, 3}, {8, 3}}},
        {"a.*b", "a\r\n\r\nb", {{0, 6}}},
        // "^" after and "$" before LF, CR and FF.
        {"^b", "a\nb", {{2, 1}}},
        {"^b", "a\rb", {{2, 1}}},
        {"^b", "a\fb", {{2, 1}}},
        {"a$", "a\nb", {{0, 1}}},
        {"a$", "a\rb", {{0, 1}}},
        {"a$", "a\fb", {{0, 1}}},
        {"a$", "ab", {}},
        // Never between CR and LF.
        {"^\n", "a\r\n", {}},
        {"\r$", "a\r\nb", {}},
        {"^b", "a\r\nb", {{3, 1}}},
    };
    for (const auto& c : cases) {
        ExpectWalk(c);
    }
}

TEST(SearchAll, LetterCase) {
    const struct {
        std::string_view expression;
        std::string_view text;
        bool exact;    // matches when case sensitive
        bool whatever; // matches when not
    } cases[] = {
        {"Song", "song", false, true},
        {"Song", "SONG", false, true},
        {"Song", "Song", true, true},
        {"xsong_name", "XSONG_NAME", false, true},
        // Double-byte text is never folded: "览" (C0 C0) and "嗬" (E0 C0)
        // differ as Latin-1 capital and small letters would.
        {"览", "嗬", false, false},
        {"览", "览", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.expression << " over " << c.text);
        EXPECT_EQ(SearchAll(Compiled(c.expression), c.text).size(), c.exact ? 1u : 0u);
        EXPECT_EQ(SearchAll(Compiled(c.expression, false), c.text).size(), c.whatever ? 1u : 0u);
    }
}

TEST(SearchAll, RecordsEveryGroupAndWhetherItTookPart) {
    const MatchList matches = SearchAll(Compiled("(a)|(b)"), "xb");
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_THAT(matches[0].submatches,
                ElementsAre(Submatch{1, 1, true}, Submatch{-1, 0, false}, Submatch{1, 1, true}));

    // An empty group takes part with length 0; offsets count from the start
    // of the whole text also in later searches.
    const MatchList later = SearchAll(Compiled("a(x*)(b)"), "abab");
    ASSERT_EQ(later.size(), 2u);
    EXPECT_THAT(later[1].submatches,
                ElementsAre(Submatch{2, 2, true}, Submatch{3, 0, true}, Submatch{3, 1, true}));
}

TEST(SubmatchText, CutsTheGroupOutOfTheText) {
    const std::string_view text = "xb";
    const MatchList matches = SearchAll(Compiled("(a)|(b)"), text);
    ASSERT_EQ(matches.size(), 1u);
    const struct {
        int index;
        std::string_view want;
    } cases[] = {
        {0, "b"}, {1, ""}, {2, "b"}, {3, ""}, {-1, ""}, {1000, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(SubmatchText(matches[0], text, c.index), c.want);
    }

    const MatchList empty = SearchAll(Compiled("x*"), "abc");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(SubmatchText(empty[0], "abc", 0), "");
    EXPECT_EQ(SubmatchText(MatchResult{}, "abc", 0), "");
}

TEST(SubmatchText, StaysInsideTheTextItIsGiven) {
    const MatchList matches = SearchAll(Compiled("c(d+)"), "abcddd");
    ASSERT_EQ(matches.size(), 1u);
    // Offsets and lengths alone decide; a shorter text is cut at its end.
    EXPECT_EQ(SubmatchText(matches[0], "ABCDDD", 1), "DDD");
    EXPECT_EQ(SubmatchText(matches[0], "ABCD", 1), "D");
    EXPECT_EQ(SubmatchText(matches[0], "ABC", 1), "");
    EXPECT_EQ(SubmatchText(matches[0], "", 0), "");
}

// Replies shaped like the playlist service's: a JSONP body whose song
// entries carry the name in double quotes and the address in apostrophes.
std::string Entry(int id, std::string_view name, std::string_view singer, std::string_view url) {
    std::string entry =
        "{xqusic_id:" + std::to_string(id) + ",xctype:3,xexpire_time:0,xdesc:\"\",xsong_name:\"";
    entry += name;
    entry += "\",xsong_resid:0,xsinger_id:" + std::to_string(id % 977) + ",xsinger_name:\"";
    entry += singer;
    entry += "\",xsong_size:3407872,xsong_url:'";
    entry += url;
    entry += "',xsong_playtime:214}";
    return entry;
}

std::string Reply(const std::vector<std::string>& entries) {
    std::string reply = "jsonCallback({code:0,subcode:0,message:\"\",data:{uin:12345,nick:\"小明\","
                        "visitor:0,playlist:{song:[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        reply += (i == 0 ? "" : ",") + entries[i];
    }
    reply += "]}}})";
    return reply;
}

using Song = std::pair<std::string, std::string>; // name, address

std::vector<Song> Songs(std::string_view reply) {
    Pattern pattern;
    CompilePattern(pattern, kSongExpression);
    std::vector<Song> songs;
    for (const MatchResult& match : SearchAll(pattern, reply)) {
        EXPECT_EQ(match.submatches.size(), 4u);
        songs.emplace_back(SubmatchText(match, reply, 1), SubmatchText(match, reply, 3));
    }
    return songs;
}

TEST(SongExpression, TwoEntries) {
    const std::string first = Entry(101, "青花瓷", "周杰", "http://stream.example.cn/101.mp3");
    const std::string second = Entry(102, "學貓叫", "小潘", "http://stream.example.cn/102.mp3");
    const std::string reply = Reply({first, second});

    const MatchList matches = SearchAll(Compiled(kSongExpression), reply);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(SubmatchText(matches[0], reply, 1), "青花瓷");
    EXPECT_EQ(SubmatchText(matches[0], reply, 3), "http://stream.example.cn/101.mp3");
    EXPECT_EQ(SubmatchText(matches[1], reply, 1), "學貓叫");
    EXPECT_EQ(SubmatchText(matches[1], reply, 3), "http://stream.example.cn/102.mp3");

    // Sub-match 0 runs from the name key to the closing apostrophe.
    const std::string_view whole = std::string_view(second).substr(
        second.find("xsong_name:"),
        second.find("',xsong_playtime") + 1 - second.find("xsong_name:"));
    EXPECT_EQ(SubmatchText(matches[1], reply, 0), whole);
    EXPECT_EQ(matches[1].submatches[0].start, static_cast<int>(reply.find(whole)));
    EXPECT_EQ(SubmatchText(matches[1], reply, 2),
              ",xsong_resid:0,xsinger_id:102,xsinger_name:\"小潘\",xsong_size:3407872,");
}

TEST(SongExpression, RepliesAsTheServiceWritesThem) {
    const std::string a = "http://stream.example.cn/a.mp3";
    const std::string b = "http://stream.example.cn/b.mp3";
    const std::string c = "http://stream.example.cn/c.mp3";
    const std::string cutOff = Reply({Entry(1, "一", "s", a)});
    const struct {
        const char* what;
        std::string reply;
        std::vector<Song> want;
    } cases[] = {
        {"empty reply", "", {}},
        {"error reply", "jsonCallback({code:-1,subcode:-1,message:\"无此用户\"})", {}},
        {"no songs", Reply({}), {}},
        {"three in reply order",
         Reply({Entry(1, "一", "s", a), Entry(2, "二", "s", b), Entry(3, "三", "s", c)}),
         {{"一", a}, {"二", b}, {"三", c}}},
        {"same song twice",
         Reply({Entry(1, "晴天", "s", a), Entry(1, "晴天", "s", a)}),
         {{"晴天", a}, {"晴天", a}}},
        {"name cut at its first double quote",
         Reply({Entry(1, "他说\"你好\"", "s", a), Entry(2, "二", "s", b)}),
         {{"他说", a}, {"二", b}}},
        {"lazy groups end at the first closing mark",
         "xsong_name:\"x\"\"y\" xsong_url:'u'' xsong_url:'v'",
         {{"x", "u"}}},
        {"empty name and address",
         Reply({Entry(1, "", "s", ""), Entry(2, "二", "s", b)}),
         {{"", ""}, {"二", b}}},
        {"entry over several lines",
         "jsonCallback({code:0,playlist:{song:[{\r\nxsong_name:\"夜曲\",\r\n"
         "xsinger_name:\"周\",\r\n\r\nxsong_url:'" +
             a + "'\r\n}]}})",
         {{"夜曲", a}}},
        {"entry without address takes the next one",
         Reply({Entry(1, "一", "s", a),
                "{xqusic_id:2,xsong_name:\"无址\",xsinger_name:\"s\",xsong_size:0}",
                Entry(3, "三", "s", c), Entry(4, "四", "s", b)}),
         {{"一", a}, {"无址", c}, {"四", b}}},
        {"key words in other cases are not matched",
         Reply({"{XSONG_NAME:\"大\",XSONG_URL:'http://x/'}", Entry(2, "二", "s", b),
                "{Xsong_name:\"大\",xsong_URL:'http://y/'}"}),
         {{"二", b}}},
        {"entities, escapes and bytes as they stand",
         Reply({Entry(1, "Rock &#39;n&#39; Roll", "s", "http://m.example.cn/s?id=1&amp;t=2"),
                Entry(2, "Tom\\u0026Jerry \\\\ \\n", "s", "http://m.example.cn/\\x41"),
                Entry(3, "學 \xFF\x80", "s", "http://m.example.cn/%E5%AD%A6")}),
         {{"Rock &#39;n&#39; Roll", "http://m.example.cn/s?id=1&amp;t=2"},
          {"Tom\\u0026Jerry \\\\ \\n", "http://m.example.cn/\\x41"},
          {"學 \xFF\x80", "http://m.example.cn/%E5%AD%A6"}}},
        {"cut off before the address", cutOff.substr(0, cutOff.find("xsong_url")), {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_THAT(Songs(row.reply), ElementsAreArray(row.want));
    }
}

// A reply whose tail holds thousands of names and no address key: every name
// there sends the lazy groups to the end of the reply and back, so the
// matcher exceeds its complexity limit and gives up on that search.
std::string ReplyEndingWithoutAddresses(int good) {
    std::vector<std::string> entries;
    for (int i = 1; i <= good; ++i) {
        entries.push_back(Entry(i, "好歌" + std::to_string(i), "s",
                                "http://stream.example.cn/" + std::to_string(i) + ".mp3"));
    }
    std::string reply = Reply(entries);
    reply.resize(reply.size() - 5); // reopen the song list
    for (int i = 0; reply.size() < 1000000; ++i) {
        reply += ",{xqusic_id:" + std::to_string(5000 + i) + ",xsong_name:\"无址" +
                 std::to_string(i) + "\",xsinger_id:7,xsinger_name:\"某人\",xsong_size:0}";
    }
    reply += "]}}})";
    return reply;
}

TEST(SongExpression, AbandonedSearchKeepsTheMatchesBefore) {
    const std::string reply = ReplyEndingWithoutAddresses(3);
    EXPECT_THAT(Songs(reply), ElementsAre(Song{"好歌1", "http://stream.example.cn/1.mp3"},
                                          Song{"好歌2", "http://stream.example.cn/2.mp3"},
                                          Song{"好歌3", "http://stream.example.cn/3.mp3"}));
}

TEST(SearchAll, MemoryLimitKeepsTheMatchesBefore) {
    // Every pass of the group leaves a way back, more than the matcher keeps.
    std::string text = "c";
    text.append(1000000, 'a');
    EXPECT_THAT(WholeMatches(SearchAll(Compiled("(a|b)*c"), text)), ElementsAre(Span{0, 1}));
}

} // namespace
} // namespace tavenro
