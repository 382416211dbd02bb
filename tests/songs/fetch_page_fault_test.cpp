// The page fetch and the song search against a server on 127.0.0.1 that
// misbehaves: replies that drip, stream for long, break off, or are not
// well-formed HTTP. The WinHttp request object in the Windows build (run
// under Wine here), the libcurl stand-in natively; both give the same
// answers, but for a stalled transfer. A reply that is not HTTP at all gives
// no text, and a transfer that breaks off keeps what arrived.
#include "songs/fetch_page.h"
#include "songs/memory_result_list.h"
#include "songs/search_songs.h"

#include "tests/http_server/test_http_server.h"
#include "tests/service/demo_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace tavenro {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using testing::HttpHead;
using testing::HttpReply;
using testing::InPieces;
using testing::kWindowsBuild;
using testing::LongBody;
using testing::LongBodyPrefix;
using testing::ServeRedirectChain;
using testing::TestHttpServer;
using testing::Writer;

// A playlist entry as the music service writes it.
std::string Song(int id, std::string_view name) {
    return "{xsong_id:" + std::to_string(id) + ",xsong_name:\"" + std::string(name) +
           "\",xsinger_name:\"歌手\",xsong_url:'http://music.example/" + std::to_string(id) +
           ".mp3',xsong_size:3000000}";
}

const std::string kThreeSongs =
    "jsonCallback({songs:[" + Song(1, "晴天") + "," + Song(2, "北方") + "," + Song(3, "远行") + ",";
// Three whole entries and the first half of a fourth.
const std::string kThreeAndAHalfSongs = kThreeSongs + Song(4, "半首").substr(0, 40);

std::string ChunkedHead() {
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
}

// One chunk of a chunked body: its size in hex, the data, each line ended.
std::string Chunk(std::string_view data) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string size;
    for (std::size_t n = data.size(); size.empty() || n > 0; n /= 16)
        size.insert(size.begin(), kHex[n % 16]);
    return size + "\r\n" + std::string(data) + "\r\n";
}

// One misbehaving reply and the text the fetch gives for it.
struct TextFault {
    const char* name;
    Writer reply;
    std::string text;
};

void PrintTo(const TextFault& fault, std::ostream* out) {
    *out << fault.name;
}

std::vector<TextFault> TextFaults() {
    return {
        // The request object does not count a reply that ends short of its
        // length as a failure: the part that arrived is the text.
        {"ClosedInTheBody",
         InPieces({HttpHead("200 OK", "", kThreeAndAHalfSongs.size() + 500) + kThreeAndAHalfSongs}),
         kThreeAndAHalfSongs},
        // One byte a second: a slow server is waited for, not given up.
        {"Drip", InPieces({HttpHead("200 OK", "", 5) + "d", "r", "i", "p", "!"}, 1s), "drip!"},
        {"OnlyZeroBytes", InPieces({HttpReply("200 OK", "", std::string(3000, '\0'))}), ""},
        {"ServerErrorPage", InPieces({HttpReply("500 Internal Server Error", "", "it broke")}),
         "it broke"},
        {"StatusNotANumber", InPieces({"HTTP/1.1 abc\r\nContent-Length: 4\r\n\r\nbody"}), ""},
        {"GarbageForAStatusLine", InPieces({"garbage\r\n\r\nbody"}), ""},
        {"NoStatusLineNorLineEnd", InPieces({"just a body, no head"}), ""},
        {"ChunkSizeNotHex", InPieces({ChunkedHead() + "5\r\nhello\r\nzz\r\nworld\r\n0\r\n\r\n"}),
         "hello"},
        {"LastChunkMissing", InPieces({ChunkedHead() + "5\r\nhello\r\n6\r\n world\r\n"}),
         "hello world"},
        {"ChunkCutShort", InPieces({ChunkedHead() + "5\r\nhello\r\n6\r\n wo"}), "hello wo"},
    };
}

class FetchPageTextFault : public ::testing::TestWithParam<TextFault> {
  protected:
    TestHttpServer server;
};

TEST_P(FetchPageTextFault, GivesTheTextItCanAndReturns) {
    const TextFault& fault = GetParam();
    server.Write("/fault", fault.reply);
    EXPECT_EQ(FetchPageText(server.Url("/fault")), fault.text);
}

INSTANTIATE_TEST_SUITE_P(Faults, FetchPageTextFault, ::testing::ValuesIn(TextFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

class FetchPageFault : public ::testing::Test {
  protected:
    TestHttpServer server;
};

TEST_F(FetchPageFault, FiftyMegabytesArriveWhole) {
    constexpr std::size_t kSize = 50 * 1024 * 1024;
    server.Write("/long", LongBody(kSize));
    const Text text = FetchPageText(server.Url("/long"));
    ASSERT_EQ(text.size(), kSize);
    EXPECT_EQ(LongBodyPrefix(text), kSize) << "bytes before the first wrong one";
}

TEST_F(FetchPageFault, LongRedirectChain) {
    ServeRedirectChain(server, "arrived");
    // WinHttp gives up after 10 redirects, and so does the stand-in: no text.
    EXPECT_EQ(FetchPageText(server.Url("/hop0")), "");
    EXPECT_EQ(server.Requests().size(), 11u);
}

TEST_F(FetchPageFault, StalledTransferIsGivenUp) {
    // Nothing for a minute after the first piece: the request gives up after
    // about 30 s of silence (the server's pause ends with it). WinHttp's send
    // then fails, and a failed send gives no text; the stand-in keeps what
    // had arrived.
    server.Write("/stall", InPieces({HttpHead("200 OK", "", 9) + "part", " rest"}, 60s));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchPageText(server.Url("/stall")), kWindowsBuild ? "" : "part");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 55s);
}

// The song search over a misbehaving service.
using Row = std::array<Text, 3>;

constexpr char kPlaylistPath[] = "/fcg-bin/cgi_playlist_xml.fcg";

struct SearchFault {
    const char* name;
    // Sets the service's answer to the playlist request up.
    std::function<void(TestHttpServer&)> serve;
    int songs;
};

void PrintTo(const SearchFault& fault, std::ostream* out) {
    *out << fault.name;
}

std::vector<SearchFault> SearchFaults() {
    const auto writes = [](Writer writer) {
        return [writer](TestHttpServer& server) { server.Write(kPlaylistPath, writer); };
    };
    return {
        {"ClosedInTheFourthSong",
         writes(InPieces(
             {HttpHead("200 OK", "", kThreeAndAHalfSongs.size() + 500) + kThreeAndAHalfSongs})),
         3},
        // The text ends at the zero byte: the song behind it is lost.
        {"ZeroByteAfterTwoSongs",
         writes(InPieces({HttpReply("200 OK", "",
                                    Song(1, "一") + "," + Song(2, "二") + std::string(1, '\0') +
                                        Song(3, "三"))})),
         2},
        {"SongsOnAnErrorPage", writes(InPieces({HttpReply("500 Oops", "", kThreeSongs)})), 3},
        {"LastChunkMissing",
         writes(InPieces(
             {ChunkedHead() + Chunk(kThreeSongs.substr(0, 100)) + Chunk(kThreeSongs.substr(100))})),
         3},
        {"TwentyRedirects",
         [](TestHttpServer& server) {
             server.Reply(kPlaylistPath,
                          HttpReply("302 Found", "Location: " + server.Url("/hop0") + "\r\n", ""));
             ServeRedirectChain(server, kThreeSongs);
         },
         0},
    };
}

class SearchSongsFault : public ::testing::TestWithParam<SearchFault> {
  protected:
    void SetUp() override { testing::SetEnvironment("TAVENRO_MUSIC_HOST", server.HostPort()); }
    void TearDown() override { testing::SetEnvironment("TAVENRO_MUSIC_HOST", ""); }

    TestHttpServer server;
};

TEST_P(SearchSongsFault, ListsTheSongsThatArrivedWhole) {
    const SearchFault& fault = GetParam();
    fault.serve(server);
    MemoryResultList list;
    list.rows.assign(2, Row{"1", "old", "http://old.example/"});
    std::vector<Text> captions;
    SearchSongs("10001", list, [&](std::string_view caption) { captions.emplace_back(caption); });
    const int songs = fault.songs;
    EXPECT_EQ(static_cast<int>(list.rows.size()), songs);
    EXPECT_THAT(captions, ElementsAre("一共搜索到 [" + std::to_string(songs) + "]首歌曲"));
    for (int i = 0; i < songs && i < static_cast<int>(list.rows.size()); ++i) {
        EXPECT_EQ(list.rows[i][0], std::to_string(i + 1));
        EXPECT_EQ(list.rows[i][2], "http://music.example/" + std::to_string(i + 1) + ".mp3");
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, SearchSongsFault, ::testing::ValuesIn(SearchFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavenro
