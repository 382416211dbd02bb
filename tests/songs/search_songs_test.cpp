// The song search end to end over the local demo service: the request it
// sends, the rows it makes of the reply and the count it reports.
#include "songs/memory_result_list.h"
#include "songs/search_songs.h"

#include "tests/service/demo_service.h"

#include <array>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavenro {
namespace {

using testing::DemoService;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Row = std::array<Text, 3>;

// A table that refuses every row, as a list-view out of memory would.
class RefusingList : public MemoryResultList {
  public:
    int InsertItem(std::optional<int>, std::string_view) override { return -1; }
};

constexpr std::string_view kPlaylistPath = "/fcg-bin/cgi_playlist_xml.fcg?json=1&uin=";
const Text kThreeSongs = "一共搜索到 [3]首歌曲";
const Text kNoSongs = "一共搜索到 [0]首歌曲";

class SearchSongsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<DemoService>(); }
    static void TearDownTestSuite() {
        testing::SetEnvironment("TAVENRO_MUSIC_HOST", "");
        service.reset();
    }
    void SetUp() override { testing::SetEnvironment("TAVENRO_MUSIC_HOST", service->HostPort()); }

    // Runs one search; the captions the status label received.
    std::vector<Text> Search(std::string_view number, ResultList& list) {
        std::vector<Text> captions;
        SearchSongs(number, list,
                    [&](std::string_view caption) { captions.emplace_back(caption); });
        return captions;
    }

    static inline std::unique_ptr<DemoService> service;
    MemoryResultList list;
};

TEST_F(SearchSongsTest, ListsTheSongsInReplyOrderAndCountsThem) {
    EXPECT_THAT(Search("10002", list), ElementsAre(kThreeSongs));
    EXPECT_THAT(
        list.rows,
        ElementsAre(Row{"1", "晴天小调", "http://music.tavenro-demo.example/mp3/qingtian.mp3"},
                    Row{"2", "北方的雪", "http://music.tavenro-demo.example/mp3/beifang.mp3"},
                    Row{"3", "远行", "http://music.tavenro-demo.example/mp3/yuanxing.mp3"}));
    EXPECT_EQ(service->Requests().back(), std::string(kPlaylistPath) + "10002");
}

TEST_F(SearchSongsTest, CellsHoldTheReplyBytesUnchanged) {
    Search("10001", list);
    ASSERT_EQ(list.rows.size(), 6u);
    // Entities are not decoded and the address is not trimmed.
    EXPECT_EQ(list.rows[2][1], "We&#39;re Home 回家");
    EXPECT_EQ(list.rows[5][2], "http://music.tavenro-demo.example/mp3/haibian.mp3 ");
    EXPECT_EQ(list.rows[5][0], "6");
}

TEST_F(SearchSongsTest, ASecondSearchReplacesTheRows) {
    Search("10001", list);
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_THAT(Search("10002", list), ElementsAre(kThreeSongs));
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0][0], "1");
    EXPECT_EQ(list.rows[0][1], "晴天小调");
}

TEST_F(SearchSongsTest, AnEmptyNumberStillAsksTheService) {
    EXPECT_THAT(Search("", list), ElementsAre(kNoSongs));
    EXPECT_EQ(service->Requests().back(), kPlaylistPath);
}

TEST_F(SearchSongsTest, NoSongsEmptiesTheListAndCountsZero) {
    struct Case {
        const char* what;
        std::string host; // empty: the service
        const char* number;
    };
    const Case cases[] = {
        {"empty playlist", "", "10000"},
        {"empty body", "", "0"},
        {"unknown number", "", "31415926"},
        {"service unreachable", service->ClosedHostPort(), "10002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.host.empty())
            testing::SetEnvironment("TAVENRO_MUSIC_HOST", c.host);
        list.rows.assign(2, Row{"1", "old", "http://old.example/"});
        EXPECT_THAT(Search(c.number, list), ElementsAre(kNoSongs));
        EXPECT_THAT(list.rows, IsEmpty());
    }
}

TEST_F(SearchSongsTest, TheCountIsWhatTheListHolds) {
    RefusingList refusing;
    EXPECT_THAT(Search("10002", refusing), ElementsAre(kNoSongs));
}

TEST_F(SearchSongsTest, ALongPlaylistIsReadWhole) {
    Search("900500", list); // 500 generated songs, about 90 KB
    ASSERT_EQ(list.rows.size(), 500u);
    EXPECT_EQ(list.rows[499],
              (Row{"500", "测试歌曲500", "http://music.tavenro-demo.example/load/500.mp3"}));
}

} // namespace
} // namespace tavenro
