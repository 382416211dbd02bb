// The Windows binding goes through its one table of WinInet entry points:
// replacing a single entry makes that one call fail for real.
#include "web/access_page.h"
#include "web/wininet_entry_points.h"

#include "tests/http_server/test_http_server.h"
#include "text/bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavenro {
namespace {

using testing::HttpReply;
using testing::TestHttpServer;

// Restores the entry when the test ends.
template <class Pointer> class Replaced {
  public:
    Replaced(Pointer& entry, Pointer replacement) : entry_(entry), saved_(entry) {
        entry_ = replacement;
    }
    Replaced(const Replaced&) = delete;
    Replaced& operator=(const Replaced&) = delete;
    ~Replaced() { entry_ = saved_; }

    [[nodiscard]] Pointer saved() const { return saved_; }

  private:
    Pointer& entry_;
    Pointer saved_;
};

std::vector<HINTERNET> closed;
decltype(&::InternetCloseHandle) realClose = nullptr;

BOOL WINAPI RecordingClose(HINTERNET handle) {
    closed.push_back(handle);
    return realClose(handle);
}

HINTERNET WINAPI FailingConnect(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD,
                                DWORD_PTR) {
    ::SetLastError(ERROR_INTERNET_CANNOT_CONNECT);
    return nullptr;
}

BOOL WINAPI FailingQuery(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
}

TEST(WinInetTable, EveryEntryPointIsBoundByName) {
    const WinInetEntryPoints& entries = WinInet();
#define TAVENRO_EXPECT_BOUND(name) EXPECT_NE(entries.name, nullptr) << #name;
    TAVENRO_WININET_ENTRY_POINTS(TAVENRO_EXPECT_BOUND)
#undef TAVENRO_EXPECT_BOUND
}

TEST(WinInetTable, FailedConnectClosesTheInternetHandleOnly) {
    TestHttpServer server;
    WinInetEntryPoints& entries = WinInet();
    const Replaced connect(entries.InternetConnectA, &FailingConnect);
    const Replaced close(entries.InternetCloseHandle, &RecordingClose);
    realClose = close.saved();
    closed.clear();
    Text headers = "h: 1";
    Text returnedHeaders = "rh";
    EXPECT_EQ(
        AccessPage(
            {.url = server.Url("/x"), .headers = &headers, .returnedHeaders = &returnedHeaders}),
        Bytes());
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(headers, "h: 1");
    EXPECT_EQ(returnedHeaders, "rh");
    EXPECT_TRUE(server.Requests().empty());
}

TEST(WinInetTable, FailedHeaderQueryLeavesTheBlankBuffer) {
    TestHttpServer server;
    server.Reply("/x", HttpReply("200 OK", "Set-Cookie: a=1\r\n", "body"));
    const Replaced query(WinInet().HttpQueryInfoA, &FailingQuery);
    Text returnedHeaders;
    Text returnedCookies = "stale";
    const Bytes body = AccessPage({.url = server.Url("/x"),
                                   .returnedCookies = &returnedCookies,
                                   .returnedHeaders = &returnedHeaders});
    EXPECT_EQ(std::string(body.begin(), body.end()), "body");
    EXPECT_EQ(returnedHeaders, BlankText(5000));
    EXPECT_EQ(returnedCookies, "");
}

} // namespace
} // namespace tavenro
