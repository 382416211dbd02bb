// The page fetch against a real HTTP server on 127.0.0.1: the WinHttp
// request object in the Windows build, the libcurl stand-in natively.
#include "songs/fetch_page.h"

#include "tests/http_server/test_http_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace tavenro {
namespace {

using ::testing::HasSubstr;
using testing::HttpReply;
using ::testing::Not;
using testing::RefusingPort;
using ::testing::StartsWith;
using testing::TestHttpServer;

class FetchPageServer : public ::testing::Test {
  protected:
    TestHttpServer server;
};

TEST_F(FetchPageServer, BodyOfAnyStatusIsReturnedUpToAZeroByte) {
    server.Reply("/page", HttpReply("200 OK", "", "hello"));
    server.Reply("/zero", HttpReply("200 OK", "", std::string("abc\0def", 7)));
    server.Reply("/empty", HttpReply("200 OK", "", ""));
    server.Reply("/missing", HttpReply("404 Not Found", "", "not here"));
    EXPECT_EQ(FetchPageText(server.Url("/page"), "GET"), "hello");
    EXPECT_EQ(FetchPageText(server.Url("/zero")), "abc");
    EXPECT_EQ(FetchPageText(server.Url("/empty")), "");
    EXPECT_EQ(FetchPageText(server.Url("/missing")), "not here");
}

TEST_F(FetchPageServer, RequestIsAPlainGet) {
    server.Echo("/echo");
    const Text request = FetchPageText(server.Url("/echo"));
    EXPECT_THAT(request, StartsWith("GET /echo HTTP/1.1\r\n"));
    EXPECT_THAT(request, Not(HasSubstr("Referer:")));
    EXPECT_THAT(request, Not(HasSubstr("Cookie:")));
}

TEST_F(FetchPageServer, UrlWithoutSchemeIsRequestedOverHttp) {
    server.Reply("/list", HttpReply("200 OK", "", "songs"));
    EXPECT_EQ(FetchPageText(server.HostPort("/list?uin=1")), "songs");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_THAT(server.Requests()[0], StartsWith("GET /list?uin=1 HTTP/1.1\r\n"));
}

TEST_F(FetchPageServer, RedirectIsFollowed) {
    server.Reply("/from",
                 HttpReply("302 Found", "Location: " + server.Url("/to") + "\r\n", "moved"));
    server.Reply("/to", HttpReply("200 OK", "", "arrived"));
    EXPECT_EQ(FetchPageText(server.Url("/from")), "arrived");
}

TEST(FetchPageRefused, RefusedConnectionGivesEmptyText) {
    const RefusingPort refusing;
    EXPECT_EQ(FetchPageText("http://127.0.0.1:" + std::to_string(refusing.Port()) + "/x"), "");
}

} // namespace
} // namespace tavenro
