// The four output formats over the same two searches: one number with
// songs, one without.
#include "cli/gbk_to_utf8.h"
#include "cli/song_formatter.h"

#include <gtest/gtest.h>
#include <string>

namespace tavenro {
namespace {

// Literals written u8"..." stay UTF-8 whatever the execution character set.
std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

Text Unchanged(std::string_view gbk) {
    return Text(gbk);
}

class SongFormatterTest : public ::testing::Test {
  protected:
    // Runs the formatter over the searches, in order.
    static Text Format(std::unique_ptr<SongFormatter> formatter,
                       const std::vector<NumberSongs>& searches) {
        Text out = formatter->Begin();
        for (const NumberSongs& search : searches)
            out += formatter->Add(search);
        return out + formatter->End();
    }

    // "誠" is D5 5C in GBK: its second byte is the backslash.
    const NumberSongs songs_{
        "10001",
        {{"1", "山间小路", "http://a.example/1.mp3"}, {"2", "誠 A\\B", "http://a.example/2.mp3 "}},
        "一共搜索到 [2]首歌曲"};
    const NumberSongs none_{"10000", {}, "一共搜索到 [0]首歌曲"};
    // Line structure and the terminal are protected from what the reply
    // holds; a song without an address cannot be played.
    const NumberSongs awkward_{
        "10002",
        {{"1", "Tab\there\nnew line\x1B[2J", "http://a.example/3.mp3"}, {"2", "", ""}},
        "一共搜索到 [2]首歌曲"};
};

TEST_F(SongFormatterTest, TableAlignsColumnsByScreenWidth) {
    // Laid out in GBK: one byte, one column.
    EXPECT_EQ(Format(MakeTableFormatter(Unchanged), {songs_, none_}),
              "QQ号码：10001\n"
              "ID  歌曲名称  歌曲地址\n"
              "1   山间小路  http://a.example/1.mp3\n"
              "2   誠 A\\B    http://a.example/2.mp3 \n"
              "一共搜索到 [2]首歌曲\n"
              "\n"
              "QQ号码：10000\n"
              "ID  歌曲名称  歌曲地址\n"
              "一共搜索到 [0]首歌曲\n");
    EXPECT_EQ(Format(MakeTableFormatter(GbkToUtf8), {awkward_}),
              Utf8(u8"QQ号码：10002\n"
                   u8"ID  歌曲名称               歌曲地址\n"
                   u8"1   Tab here new line [2J  http://a.example/3.mp3\n"
                   u8"2                          \n"
                   u8"一共搜索到 [2]首歌曲\n"));
}

TEST_F(SongFormatterTest, TsvHasOneHeaderAndALinePerSong) {
    EXPECT_EQ(Format(MakeTsvFormatter(GbkToUtf8), {songs_, none_, awkward_}),
              Utf8(u8"qq\tid\tname\taddress\n"
                   u8"10001\t1\t山间小路\thttp://a.example/1.mp3\n"
                   u8"10001\t2\t誠 A\\B\thttp://a.example/2.mp3 \n"
                   u8"10002\t1\tTab here new line [2J\thttp://a.example/3.mp3\n"
                   u8"10002\t2\t\t\n"));
    EXPECT_EQ(Format(MakeTsvFormatter(GbkToUtf8), {}), "qq\tid\tname\taddress\n");
}

TEST_F(SongFormatterTest, M3uListsEverySongWithAnAddress) {
    EXPECT_EQ(Format(MakeM3uFormatter(GbkToUtf8), {songs_, none_, awkward_}),
              Utf8(u8"#EXTM3U\n"
                   u8"#EXTINF:-1,山间小路\n"
                   u8"http://a.example/1.mp3\n"
                   u8"#EXTINF:-1,誠 A\\B\n"
                   u8"http://a.example/2.mp3 \n"
                   u8"#EXTINF:-1,Tab here new line [2J\n"
                   u8"http://a.example/3.mp3\n"));
    EXPECT_EQ(Format(MakeM3uFormatter(GbkToUtf8), {none_}), "#EXTM3U\n");
}

TEST_F(SongFormatterTest, JsonEscapesAfterConversion) {
    // The backslash inside 誠 is part of the character; the one after A is
    // escaped.
    EXPECT_EQ(Format(MakeJsonFormatter(GbkToUtf8), {songs_, none_, awkward_}),
              Utf8(u8"[\n"
                   u8"  {\"qq\": \"10001\", \"id\": 1, \"name\": \"山间小路\", "
                   u8"\"address\": \"http://a.example/1.mp3\"},\n"
                   u8"  {\"qq\": \"10001\", \"id\": 2, \"name\": \"誠 A\\\\B\", "
                   u8"\"address\": \"http://a.example/2.mp3 \"},\n"
                   u8"  {\"qq\": \"10002\", \"id\": 1, \"name\": \"Tab\\there\\nnew "
                   u8"line\\u001b[2J\", \"address\": \"http://a.example/3.mp3\"},\n"
                   u8"  {\"qq\": \"10002\", \"id\": 2, \"name\": \"\", \"address\": \"\"}\n"
                   u8"]\n"));
}

TEST_F(SongFormatterTest, JsonEscapesEveryControlCharacter) {
    const NumberSongs controls{"1", {{"1", "\"\x01\x08\x0C\x1F\x7F", "\r"}}, ""};
    EXPECT_EQ(
        Format(MakeJsonFormatter(GbkToUtf8), {controls}),
        "[\n  {\"qq\": \"1\", \"id\": 1, \"name\": \"\\\"\\u0001\\u0008\\u000c\\u001f\\u007f\", "
        "\"address\": \"\\r\"}\n]\n");
}

TEST_F(SongFormatterTest, NoSongsGiveTheEmptyForms) {
    struct Case {
        const char* what;
        std::unique_ptr<SongFormatter> formatter;
        Text expected;
    };
    Case cases[] = {
        {"json", MakeJsonFormatter(GbkToUtf8), "[]\n"},
        {"m3u", MakeM3uFormatter(GbkToUtf8), "#EXTM3U\n"},
        {"tsv", MakeTsvFormatter(GbkToUtf8), "qq\tid\tname\taddress\n"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Format(std::move(c.formatter), {none_, none_}), c.expected);
    }
}

TEST_F(SongFormatterTest, TheFormatIsChosenByName) {
    // Told apart by their first bytes.
    const struct {
        OutputFormat format;
        std::string_view begins;
    } cases[] = {{OutputFormat::Table, "QQ"},
                 {OutputFormat::Tsv, "qq\t"},
                 {OutputFormat::Json, "[\n  {"},
                 {OutputFormat::M3u, "#EXTM3U"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.begins);
        EXPECT_TRUE(Format(MakeSongFormatter(c.format, GbkToUtf8), {songs_}).starts_with(c.begins));
    }
}

} // namespace
} // namespace tavenro
