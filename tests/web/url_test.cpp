#include "web/url.h"

#include <gtest/gtest.h>

#include <climits>

namespace tavenro {
namespace {

TEST(HostOfUrlTest, HostMode) {
    struct Case {
        const char* url;
        const char* host;     // no switch
        const char* withPort; // keep-port switch
        const char* reduced;  // reduce switch
    };
    const Case cases[] = {
        {"http://Aa.Bb.Cc:8080/P/q?r", "aa.bb.cc", "aa.bb.cc:8080", "bb.cc"},
        {"HTTPS://Aa.Bb", "aa.bb", "aa.bb", "aa.bb"},
        {"https://w.aa.bb.cc/x", "w.aa.bb.cc", "w.aa.bb.cc", "bb.cc"},
        {"aa.bb/x", "aa.bb", "aa.bb", "aa.bb"},
        {"http://localhost:8080", "localhost", "localhost:8080", "localhost"},
        // Only a "/" ends the host: a query right after it stays inside.
        {"http://aa.bb?x=1", "aa.bb?x=1", "aa.bb?x=1", "aa.bb?x=1"},
        // "http://" is looked for anywhere; any other scheme becomes part of the host.
        {"see http://X.Y/z", "x.y", "x.y", "x.y"},
        {"ftp://a.b/x", "ftp", "ftp:", "ftp"},
        // Lowering leaves the second byte of 學 (8C 57) alone.
        {"http://學A.CN/", "學a.cn", "學a.cn", "學a.cn"},
        {"", "", "", ""},
        {"http://", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(HostOfUrl(c.url), c.host);
        EXPECT_EQ(HostOfUrl(c.url, false, true), c.withPort);
        EXPECT_EQ(HostOfUrl(c.url, true), c.reduced);
    }
}

TEST(HostOfUrlTest, LabelCountMode) {
    struct Case {
        const char* url;
        int labels;
        const char* kept;    // reduce false: labels + 2
        const char* reduced; // reduce true: labels + 1
    };
    const Case cases[] = {
        {"https://w.aa.bb.cc/x", 1, "aa.bb.cc", "bb.cc"},
        {"https://w.aa.bb.cc/x", 0, "bb.cc", "cc"},
        {"https://w.aa.bb.cc/x", -3, "bb.cc", "cc"},
        {"HTTP://W.AA.BB/", 0, "aa.bb", "bb"},
        {"aa.bb", 1, "aa.bb", "aa.bb"},
        {"w.aa.bb.cc", INT_MAX, "w.aa.bb.cc", "w.aa.bb.cc"},
        // The port is cut after the labels are counted.
        {"http://a.b.c.d.e:81/", 2, "b.c.d.e", "c.d.e"},
        // A dot in the last byte is never counted.
        {"aa.bb.", 0, "aa.bb.", "bb."},
        {"", 1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.url << " with " << c.labels << " labels");
        EXPECT_EQ(HostOfUrl(c.url, false, false, c.labels), c.kept);
        EXPECT_EQ(HostOfUrl(c.url, true, false, c.labels), c.reduced);
    }
    EXPECT_EQ(HostOfUrl("http://a.b.c:81/", false, true, 0), "b.c:81");
}

TEST(PortOfUrlTest, ExplicitOrByScheme) {
    struct Case {
        const char* url;
        int port;
    };
    const Case cases[] = {
        {"http://aa.bb:8080/", 8080}, {"https://aa.bb:8443/x", 8443},
        {"https://aa.bb/", 443},      {"HTTPS://aa.bb", 443},
        {"http://aa.bb/", 80},        {"aa.bb/x", 80},
        {"http://aa.bb/x:9", 80}, // a colon in the path is not a port
        {"http://a:1:2/", 2},     // the last colon counts
        {"http://aa.bb:/", 0},        {"", 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(PortOfUrl(c.url), c.port);
    }
}

TEST(PathOfUrlTest, FromFirstSlashAfterHost) {
    struct Case {
        const char* url;
        const char* path;
    };
    const Case cases[] = {
        {"http://aa.bb/P/Q?r=1", "/P/Q?r=1"},
        {"HTTP://AA.BB/X", "/X"},
        {"http://aa.bb:8080/p", "/p"},
        {"aa.bb/x?y=/z", "/x?y=/z"},
        {"http://aa.bb/歌曲", "/歌曲"},
        {"http://aa.bb", "/"},
        {"http://aa.bb?x=1", "/"},
        {"", "/"},
        // Hosts that also occur inside the scheme, or before it.
        {"http://p/x", "/x"},
        {"https://ps/x", "/x"},
        {"HTTP://T/Y", "/Y"},
        {"xhttp://x/y", "/y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(PathOfUrl(c.url), c.path);
    }
}

} // namespace
} // namespace tavenro
