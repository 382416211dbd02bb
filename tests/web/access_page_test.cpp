// The page request's own steps, against a recording stand-in for WinInet:
// which calls it makes, with which arguments, in which order, and what it
// writes into the caller's variables.
#include "web/access_page.h"

#include "text/bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tavenro {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr char kDefaultAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kDefaultBlock[] = "Accept: */*\r\nReferer: http://aa.bb/x\r\nAccept-Language: "
                                 "zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

// Logs every call as one line and answers from what the test set up. The
// handles are named in the log by their kind.
class RecordingCalls final : public InternetCalls {
  public:
    bool failOpen = false;
    bool failConnect = false;
    bool failRequest = false;
    // The response body, handed out in reads of at most readLimit bytes.
    std::string body;
    std::size_t readLimit = 1024;
    // nullopt: the header query fails and leaves the buffer alone.
    std::optional<std::string> rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";

    std::vector<std::string> log;

    InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                        std::optional<std::string_view> proxy,
                        std::optional<std::string_view> proxyBypass) override {
        log.push_back(
            Line("Open", {agent, std::to_string(accessType), Show(proxy), Show(proxyBypass)}));
        return failOpen ? nullptr : kInternet;
    }

    InternetHandle Connect(InternetHandle internet, std::string_view host,
                           std::uint16_t port) override {
        log.push_back(Line("Connect", {Name(internet), host, std::to_string(port)}));
        return failConnect ? nullptr : kConnection;
    }

    InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                               std::string_view object, std::string_view version,
                               std::uint32_t flags) override {
        log.push_back(Line("OpenRequest", {Name(connection), verb, object, version, Hex(flags)}));
        return failRequest ? nullptr : kRequest;
    }

    void SendRequest(InternetHandle request, std::string_view headers,
                     std::span<const std::uint8_t> sent) override {
        log.push_back(
            Line("SendRequest", {Name(request), headers, std::string(sent.begin(), sent.end())}));
    }

    std::uint32_t ReadFile(InternetHandle request, std::span<std::uint8_t> buffer) override {
        log.push_back(Line("ReadFile", {Name(request), std::to_string(buffer.size())}));
        const std::size_t count = std::min({buffer.size(), readLimit, body.size() - read_});
        std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(read_), count, buffer.begin());
        read_ += count;
        return static_cast<std::uint32_t>(count);
    }

    void QueryRawHeaders(InternetHandle request, std::span<char> buffer) override {
        log.push_back(Line("QueryRawHeaders", {Name(request), std::to_string(buffer.size())}));
        if (rawHeaders && rawHeaders->size() < buffer.size()) {
            std::copy(rawHeaders->begin(), rawHeaders->end(), buffer.begin());
            buffer[rawHeaders->size()] = '\0';
        }
    }

    void CloseHandle(InternetHandle handle) override {
        log.push_back(Line("Close", {Name(handle)}));
    }

    // The log without the reads, for tests about the other steps.
    [[nodiscard]] std::vector<std::string> Calls(std::string_view name) const {
        std::vector<std::string> kept;
        for (const std::string& line : log)
            if (line.starts_with(std::string(name) + "("))
                kept.push_back(line);
        return kept;
    }

  private:
    static inline int internet_, connection_, request_;
    static inline const InternetHandle kInternet = &internet_;
    static inline const InternetHandle kConnection = &connection_;
    static inline const InternetHandle kRequest = &request_;

    static std::string Name(InternetHandle handle) {
        if (handle == kInternet)
            return "internet";
        if (handle == kConnection)
            return "connection";
        if (handle == kRequest)
            return "request";
        return "?";
    }
    static std::string Show(std::optional<std::string_view> text) {
        return text ? "\"" + std::string(*text) + "\"" : "null";
    }
    static std::string Hex(std::uint32_t value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "0x%08X", static_cast<unsigned>(value));
        return digits;
    }
    static std::string Line(std::string_view call, std::initializer_list<std::string_view> args) {
        std::string line(call);
        line += "(";
        bool first = true;
        for (std::string_view arg : args) {
            if (!first)
                line += ", ";
            line += arg;
            first = false;
        }
        return line + ")";
    }

    std::size_t read_ = 0;
};

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(AccessPage, PlainGetMakesEveryCallInOrderAndClosesInReverse) {
    RecordingCalls calls;
    calls.body = "hello";
    EXPECT_EQ(AccessPage(calls, {.url = "http://aa.bb/x"}), BytesOf("hello"));
    EXPECT_THAT(calls.log, ElementsAre(std::string("Open(") + kDefaultAgent + ", 1, null, null)",
                                       "Connect(internet, aa.bb, 80)",
                                       "OpenRequest(connection, GET, /x, HTTP/1.1, 0x80004010)",
                                       std::string("SendRequest(request, ") + kDefaultBlock + ", )",
                                       "ReadFile(request, 1024)", "ReadFile(request, 1024)",
                                       "QueryRawHeaders(request, 5000)", "Close(request)",
                                       "Close(connection)", "Close(internet)"));
}

TEST(AccessPage, RequestFlagsAndPort) {
    struct Case {
        std::string url;
        bool noRedirect;
        bool cookiesSupplied;
        std::string connect;
        std::string flags;
    };
    const Case cases[] = {
        {"http://aa.bb/x", false, false, "aa.bb, 80", "0x80004010"},
        {"https://aa.bb/x", true, true, "aa.bb, 443", "0x80A80010"},
        {"HTTPS://Aa.Bb:8443/x", false, false, "aa.bb, 8443", "0x80800010"},
        {"http://aa.bb/x", true, false, "aa.bb, 80", "0x80204010"},
        {"aa.bb:81/x", false, true, "aa.bb, 81", "0x80084010"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        RecordingCalls calls;
        Text cookies;
        (void)AccessPage(calls, {.url = c.url,
                                 .cookies = c.cookiesSupplied ? &cookies : nullptr,
                                 .noRedirect = c.noRedirect});
        EXPECT_THAT(calls.Calls("Connect"), ElementsAre("Connect(internet, " + c.connect + ")"));
        EXPECT_THAT(calls.Calls("OpenRequest"),
                    ElementsAre("OpenRequest(connection, GET, /x, HTTP/1.1, " + c.flags + ")"));
    }
}

TEST(AccessPage, AgentComesFromTheCallersUserAgentLine) {
    struct Case {
        std::string headers;
        std::string agent;
    };
    const Case cases[] = {
        {"", kDefaultAgent},
        {"X-A: b", kDefaultAgent},
        {"User-Agent: Foo/1", "Foo/1"},
        {"User-Agent:  Foo/1 \r\nX-A: b", "Foo/1"},
        {"user-agent: Foo/1", "Foo/1"},
        // The value ends at its line even when the line is not the only one.
        {"X-A: b\r\nUser-Agent: Foo/1", "Foo/1"},
        {"user-agent: Foo/1\r\nX-A: b", "Foo/1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers);
        RecordingCalls calls;
        Text headers = c.headers;
        (void)AccessPage(calls, {.url = "http://aa.bb/x", .headers = &headers});
        EXPECT_THAT(calls.Calls("Open"), ElementsAre("Open(" + c.agent + ", 1, null, null)"));
        // The caller's line is sent as it stands.
        EXPECT_TRUE(headers.starts_with(c.headers)) << headers;
    }
}

TEST(AccessPage, HeaderBlockGetsTheDefaultLinesItLacks) {
    struct Case {
        std::string headers;
        std::string cookies;
        std::string block;
    };
    const std::string rest = "\r\nReferer: http://aa.bb/x\r\nAccept-Language: zh-cn\r\n"
                             "Content-Type: application/x-www-form-urlencoded";
    const Case cases[] = {
        {"", "", kDefaultBlock},
        {"User-Agent: Foo/1", "", "User-Agent: Foo/1\r\nAccept: */*" + rest},
        // The presence tests are case-sensitive.
        {"accept: text/html", "", "accept: text/html\r\nAccept: */*" + rest},
        {"Accept: a\r\nReferer: r\r\nAccept-Language: en\r\nContent-Type: t", "",
         "Accept: a\r\nReferer: r\r\nAccept-Language: en\r\nContent-Type: t"},
        {"", "a=1; b=2", std::string(kDefaultBlock) + "\r\nCookie: a=1; b=2"},
        // A cookie line of the caller's does not stop the list's own.
        {"Cookie: z=9", "a=1", "Cookie: z=9\r\nAccept: */*" + rest + "\r\nCookie: a=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers + " / " + c.cookies);
        RecordingCalls calls;
        Text headers = c.headers;
        Text cookies = c.cookies;
        (void)AccessPage(calls, {.url = "http://aa.bb/x",
                                 .cookies = c.cookies.empty() ? nullptr : &cookies,
                                 .headers = &headers});
        EXPECT_THAT(calls.Calls("SendRequest"),
                    ElementsAre("SendRequest(request, " + c.block + ", )"));
        EXPECT_EQ(headers, c.block);
    }
}

TEST(AccessPage, MethodsAndTheBodySent) {
    struct Case {
        int method;
        std::string verb;
        std::string body;
    };
    const Case cases[] = {
        {0, "GET", ""}, {1, "POST", "a=1&b=2"}, {2, "HEAD", "a=1&b=2"},
        {7, "GET", ""}, {-1, "GET", ""},        {3, "GET", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        RecordingCalls calls;
        Bytes submitBytes;
        (void)AccessPage(calls, {.url = "http://aa.bb/x",
                                 .method = c.method,
                                 .submitText = "a=1&b=2",
                                 .submitBytes = &submitBytes});
        EXPECT_THAT(calls.Calls("OpenRequest"), ElementsAre("OpenRequest(connection, " + c.verb +
                                                            ", /x, HTTP/1.1, 0x80004010)"));
        EXPECT_THAT(calls.Calls("SendRequest"), ElementsAre(std::string("SendRequest(request, ") +
                                                            kDefaultBlock + ", " + c.body + ")"));
        // What was sent is left in the caller's variable; GET leaves it alone.
        EXPECT_EQ(submitBytes, BytesOf(c.body));
    }
}

TEST(AccessPage, SubmitBytesWinOverTheSubmitTextAndCarryOver) {
    RecordingCalls calls;
    Bytes submitBytes = BytesOf(std::string("z\0z", 3));
    (void)AccessPage(calls, {.url = "http://aa.bb/x",
                             .method = 1,
                             .submitText = "ignored",
                             .submitBytes = &submitBytes});
    (void)AccessPage(calls, {.url = "http://aa.bb/x",
                             .method = 1,
                             .submitText = "also ignored",
                             .submitBytes = &submitBytes});
    const std::string sent =
        std::string("SendRequest(request, ") + kDefaultBlock + ", " + std::string("z\0z", 3) + ")";
    EXPECT_THAT(calls.Calls("SendRequest"), ElementsAre(sent, sent));
    EXPECT_EQ(submitBytes, BytesOf(std::string("z\0z", 3)));
}

TEST(AccessPage, ProxyTextNamesTheSchemeForPlainHttpOnly) {
    struct Case {
        std::string url;
        std::string open;
    };
    const Case cases[] = {
        {"http://aa.bb/x", "3, \"http=px:8080\", \"\""},
        {"https://aa.bb/x", "3, \"px:8080\", \"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        RecordingCalls calls;
        (void)AccessPage(calls, {.url = c.url, .proxy = "px:8080"});
        EXPECT_THAT(calls.Calls("Open"),
                    ElementsAre(std::string("Open(") + kDefaultAgent + ", " + c.open + ")"));
    }
}

TEST(AccessPage, BodyIsReadIn1024ByteChunksUntilNothingComes) {
    RecordingCalls calls;
    std::string body(2500, 'b');
    body[1500] = '\0';
    calls.body = body;
    calls.readLimit = 700; // WinInet may hand out less than asked for
    EXPECT_EQ(AccessPage(calls, {.url = "http://aa.bb/x"}), BytesOf(body));
    EXPECT_THAT(calls.Calls("ReadFile"),
                ElementsAreArray(std::vector<std::string>(5, "ReadFile(request, 1024)")));
}

TEST(AccessPage, SetCookieLinesInAnyCaseGiveTheReturnedCookies) {
    RecordingCalls calls;
    calls.rawHeaders = "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nContent-Type: t\r\n"
                       "Set-Cookie: b=2\r\nSET-COOKIE:c=3\r\n\r\n";
    Text returnedHeaders;
    Text returnedCookies;
    (void)AccessPage(calls, {.url = "http://aa.bb/x",
                             .returnedCookies = &returnedCookies,
                             .returnedHeaders = &returnedHeaders});
    EXPECT_EQ(returnedHeaders, "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nContent-Type: t\r\n"
                               "Set-Cookie: b=2\r\nSet-Cookie:c=3\r\n\r\n");
    EXPECT_EQ(returnedCookies, "a=1; b=2; c=3");
}

TEST(AccessPage, SuppliedCookiesReceiveTheMerge) {
    struct Case {
        std::string kept;
        std::optional<std::string> rawHeaders;
        std::string merged;
        std::string returned;
    };
    const Case cases[] = {
        {"x=1; b=0", "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n",
         "a=1; b=2; x=1", "a=1;b=2"},
        {"x=1", "HTTP/1.1 200 OK\r\n\r\n", "x=1", ""},
        {"x=1", std::nullopt, "x=1", ""},
        {"", "HTTP/1.1 200 OK\r\nSet-Cookie: a = 1\r\n\r\n", "a=1", "a=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        RecordingCalls calls;
        calls.rawHeaders = c.rawHeaders;
        Text cookies = c.kept;
        Text returnedCookies = "stale";
        (void)AccessPage(
            calls,
            {.url = "http://aa.bb/x", .cookies = &cookies, .returnedCookies = &returnedCookies});
        EXPECT_EQ(cookies, c.merged);
        EXPECT_EQ(returnedCookies, c.returned);
    }
}

TEST(AccessPage, FailedHeaderQueryLeavesTheBlankBuffer) {
    RecordingCalls calls;
    calls.rawHeaders = std::nullopt;
    calls.body = "body";
    Text returnedHeaders = "stale";
    Text returnedCookies = "stale";
    EXPECT_EQ(AccessPage(calls, {.url = "http://aa.bb/x",
                                 .returnedCookies = &returnedCookies,
                                 .returnedHeaders = &returnedHeaders}),
              BytesOf("body"));
    EXPECT_EQ(returnedHeaders, BlankText(5000));
    EXPECT_EQ(returnedCookies, "");
}

TEST(AccessPage, OneHeadersVariableServesTwoRequests) {
    RecordingCalls calls;
    Text headers;
    Text cookies = "a=1";
    (void)AccessPage(calls, {.url = "http://aa.bb/x", .cookies = &cookies, .headers = &headers});
    (void)AccessPage(calls, {.url = "http://cc.dd/y", .cookies = &cookies, .headers = &headers});
    // The second request keeps the first one's lines, its Referer included,
    // and adds a second cookie line.
    const std::string first = std::string(kDefaultBlock) + "\r\nCookie: a=1";
    EXPECT_THAT(calls.Calls("SendRequest"),
                ElementsAre("SendRequest(request, " + first + ", )",
                            "SendRequest(request, " + first + "\r\nCookie: a=1, )"));
}

TEST(AccessPage, FailedHandleClosesWhatWasOpenedAndTouchesNothing) {
    struct Case {
        const char* failing;
        std::vector<std::string> closes;
    };
    const Case cases[] = {
        {"open", {}},
        {"connect", {"Close(internet)"}},
        {"request", {"Close(connection)", "Close(internet)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        RecordingCalls calls;
        calls.failOpen = std::string_view(c.failing) == "open";
        calls.failConnect = std::string_view(c.failing) == "connect";
        calls.failRequest = std::string_view(c.failing) == "request";
        calls.body = "never read";
        Text cookies = "k=1", returnedCookies = "rc", headers = "h: 1", returnedHeaders = "rh";
        Bytes submitBytes;
        EXPECT_EQ(AccessPage(calls, {.url = "http://aa.bb/x",
                                     .method = 1,
                                     .submitText = "s",
                                     .cookies = &cookies,
                                     .returnedCookies = &returnedCookies,
                                     .headers = &headers,
                                     .returnedHeaders = &returnedHeaders,
                                     .submitBytes = &submitBytes}),
                  Bytes());
        EXPECT_EQ(cookies, "k=1");
        EXPECT_EQ(returnedCookies, "rc");
        EXPECT_EQ(headers, "h: 1");
        EXPECT_EQ(returnedHeaders, "rh");
        EXPECT_EQ(submitBytes, Bytes());
        EXPECT_THAT(calls.Calls("SendRequest"), ElementsAre());
        EXPECT_THAT(calls.Calls("Close"), ElementsAreArray(c.closes));
        // The closes are the last calls made.
        ASSERT_GE(calls.log.size(), c.closes.size());
        EXPECT_TRUE(std::equal(c.closes.rbegin(), c.closes.rend(), calls.log.rbegin()));
    }
}

} // namespace
} // namespace tavenro
