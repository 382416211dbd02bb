// The page request against a server on 127.0.0.1 that misbehaves: replies
// that drip, stream for long, break off, or are not well-formed HTTP. WinInet
// itself in the Windows build (run under Wine here), the libcurl stand-in
// natively. Where Wine's WinInet answers otherwise than the stand-in, the
// Windows build expects Wine's answer, as noted at the case.
#include "web/access_page.h"

#include "tests/http_server/test_http_server.h"
#include "text/bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tavenro {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using testing::HttpHead;
using testing::HttpReply;
using testing::InPieces;
using testing::kWindowsBuild;
using testing::LongBody;
using testing::LongBodyPrefix;
using testing::ServeRedirectChain;
using ::testing::StartsWith;
using testing::TestHttpServer;
using testing::TextOf;
using testing::Writer;

// One misbehaving reply and the body the request gives for it.
struct BodyFault {
    const char* name;
    Writer reply;
    std::string body;
    // Where Wine's WinInet gives another body than the stand-in.
    std::optional<std::string> wineBody = std::nullopt;
};

std::string ChunkedHead() {
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
}

std::vector<BodyFault> BodyFaults() {
    return {
        // One byte a second: a slow server is waited for, not given up.
        {"Drip", InPieces({HttpHead("200 OK", "", 5) + "d", "r", "i", "p", "!"}, 1s), "drip!"},
        {"OnlyZeroBytes", InPieces({HttpReply("200 OK", "", std::string(3000, '\0'))}),
         std::string(3000, '\0')},
        {"ServerErrorPage", InPieces({HttpReply("500 Internal Server Error", "", "it broke")}),
         "it broke"},
        // Declares more than it sends, in two pieces with a pause between.
        {"ClosedAfterAPause", InPieces({HttpHead("200 OK", "", 1000) + "first ", "second"}, 500ms),
         "first second"},
        // Wine's WinInet drops a status line without a number and keeps the
        // reply as headers and body; libcurl refuses such a reply.
        {"StatusNotANumber", InPieces({"HTTP/1.1 abc\r\nContent-Length: 4\r\n\r\nbody"}), "",
         "body"},
        // Wine's WinInet takes a reply without a status line for HTTP/1.0 (its
        // headers then read "HTTP/1.0 200 OK") and gives what follows the
        // first line; libcurl refuses it.
        {"GarbageForAStatusLine", InPieces({"garbage\r\n\r\nbody"}), "", "\r\nbody"},
        {"NoStatusLineNorLineEnd", InPieces({"just a body, no head"}), ""},
        {"ChunkSizeNotHex", InPieces({ChunkedHead() + "5\r\nhello\r\nzz\r\nworld\r\n0\r\n\r\n"}),
         "hello"},
        {"LastChunkMissing", InPieces({ChunkedHead() + "5\r\nhello\r\n6\r\n world\r\n"}),
         "hello world"},
        {"ChunkCutShort", InPieces({ChunkedHead() + "5\r\nhello\r\n6\r\n wo"}), "hello wo"},
    };
}

void PrintTo(const BodyFault& fault, std::ostream* out) {
    *out << fault.name;
}

class AccessPageBodyFault : public ::testing::TestWithParam<BodyFault> {
  protected:
    TestHttpServer server;
};

TEST_P(AccessPageBodyFault, GivesTheBodyItCanAndReturns) {
    const BodyFault& fault = GetParam();
    server.Write("/fault", fault.reply);
    Text returnedHeaders;
    const Bytes body =
        AccessPage({.url = server.Url("/fault"), .returnedHeaders = &returnedHeaders});
    EXPECT_EQ(TextOf(body), kWindowsBuild ? fault.wineBody.value_or(fault.body) : fault.body)
        << "headers: " << returnedHeaders;
}

INSTANTIATE_TEST_SUITE_P(Faults, AccessPageBodyFault, ::testing::ValuesIn(BodyFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

class AccessPageFault : public ::testing::Test {
  protected:
    TestHttpServer server;
};

TEST_F(AccessPageFault, FiftyMegabytesArriveWhole) {
    constexpr std::size_t kSize = 50 * 1024 * 1024;
    server.Write("/long", LongBody(kSize));
    const Bytes body = AccessPage({.url = server.Url("/long")});
    ASSERT_EQ(body.size(), kSize);
    EXPECT_EQ(LongBodyPrefix(TextOf(body)), kSize) << "bytes before the first wrong one";
}

TEST_F(AccessPageFault, LongRedirectChain) {
    ServeRedirectChain(server, "arrived");
    Text returnedHeaders;
    const Bytes body =
        AccessPage({.url = server.Url("/hop0"), .returnedHeaders = &returnedHeaders});
    if (kWindowsBuild) {
        // Wine's WinInet follows every redirect.
        EXPECT_EQ(TextOf(body), "arrived");
        EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 200 OK\r\n"));
        EXPECT_EQ(server.Requests().size(), 21u);
    } else {
        // The stand-in gives up after 10, as WinHttp does: the eleventh
        // redirect is the last reply, its body not kept.
        EXPECT_EQ(TextOf(body), "");
        EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 302 Found\r\n"));
        EXPECT_EQ(server.Requests().size(), 11u);
    }
}

// A reply head of exactly the given length: a cookie line, then short
// filler lines.
std::string HeadOfLength(std::size_t length, std::size_t bodyLength) {
    const std::string cookie = "Set-Cookie: big=1\r\n";
    std::string lines = cookie;
    for (int i = 0; HttpHead("200 OK", lines + "X-9999: 1\r\n", bodyLength).size() <= length; ++i)
        lines += "X-" + std::to_string(i % 10000) + ": 1\r\n";
    const std::size_t shortBy = length - HttpHead("200 OK", lines, bodyLength).size();
    if (shortBy > 0) // lengthens the cookie line's value, which stays parseable
        lines.replace(0, cookie.size(),
                      "Set-Cookie: big=" + std::string(shortBy + 1, '1') + "\r\n");
    return HttpHead("200 OK", lines, bodyLength);
}

TEST_F(AccessPageFault, HeaderBlockOfManyShortLines) {
    // WinInet is offered 5000 bytes, the terminating zero included.
    struct Case {
        std::size_t headLength;
        bool read;
    };
    for (const Case c : {Case{4999, true}, Case{5000, false}, Case{9000, false}}) {
        SCOPED_TRACE(c.headLength);
        const std::string head = HeadOfLength(c.headLength, 4);
        ASSERT_EQ(head.size(), c.headLength);
        server.Reply("/many", head + "body");
        Text cookies = "x=1";
        Text returnedCookies;
        Text returnedHeaders;
        EXPECT_EQ(TextOf(AccessPage({.url = server.Url("/many"),
                                     .cookies = &cookies,
                                     .returnedCookies = &returnedCookies,
                                     .returnedHeaders = &returnedHeaders})),
                  "body");
        if (c.read) {
            EXPECT_EQ(returnedHeaders, head);
            EXPECT_THAT(returnedCookies, StartsWith("big=1"));
            EXPECT_THAT(cookies, ::testing::EndsWith("; x=1"));
        } else {
            // The headers are lost with their cookies; the body is kept.
            EXPECT_EQ(returnedHeaders, BlankText(5000));
            EXPECT_EQ(returnedCookies, "");
            EXPECT_EQ(cookies, "x=1");
        }
    }
}

TEST_F(AccessPageFault, SetCookieLinesOfEveryShape) {
    struct Case {
        const char* lines;
        const char* kept;
        // Blanks removed, as the merge leaves them.
        const char* returned;
        const char* merged;
    };
    const Case cases[] = {
        {"set-cookie: a=1; path=/\r\n", "", "a=1", "a=1"},
        {"SET-COOKIE:c=3;\r\n", "c=0; x=1", "c=3", "c=3; x=1"},
        {"Set-Cookie:\r\n", "x=1", "", "x=1"},
        // An entry without "=" is all name and replaces the kept one.
        {"Set-Cookie: novalue\r\n", "novalue=old; y=2", "novalue", "novalue; y=2"},
        {"Set-Cookie: d=deleted; path=/\r\n", "d=1; x=1", "d=deleted", "x=1"},
        // The empty line's entry stays in the list as an empty entry.
        {"Set-Cookie: a=1\r\nSet-Cookie:\r\nSet-Cookie: b=2\r\n", "", "a=1;;b=2", "a=1; ; b=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        server.Reply("/cookie", HttpReply("200 OK", c.lines, "ok"));
        Text cookies = c.kept;
        Text returnedCookies;
        Text returnedHeaders;
        EXPECT_EQ(TextOf(AccessPage({.url = server.Url("/cookie"),
                                     .cookies = &cookies,
                                     .returnedCookies = &returnedCookies,
                                     .returnedHeaders = &returnedHeaders})),
                  "ok");
        EXPECT_EQ(returnedCookies, c.returned) << returnedHeaders;
        EXPECT_EQ(cookies, c.merged);
    }
}

} // namespace
} // namespace tavenro
