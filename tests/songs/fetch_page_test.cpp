// The page fetch's own steps, against a recording request object.
#include "songs/fetch_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavenro {
namespace {

using ::testing::ElementsAre;

class RecordingRequest final : public RequestObject {
  public:
    std::string body;
    std::vector<std::string> log;

    void Open(std::string_view method, std::string_view url, bool asynchronous) override {
        log.push_back("Open(" + std::string(method) + ", " + std::string(url) + ", " +
                      (asynchronous ? "true" : "false") + ")");
    }
    void Send() override { log.push_back("Send()"); }
    Bytes ResponseBody() override {
        log.push_back("ResponseBody()");
        return Bytes(body.begin(), body.end());
    }
};

TEST(FetchPageText, OpensSendsAndReadsTheBodyOnce) {
    RecordingRequest request;
    request.body = "page";
    EXPECT_EQ(FetchPageText(request, "http://host/list", "GET"), "page");
    EXPECT_THAT(request.log,
                ElementsAre("Open(GET, http://host/list, false)", "Send()", "ResponseBody()"));
}

TEST(FetchPageText, SchemeIsAddedOnlyWhenTheUrlLacksHttp) {
    struct Case {
        std::string url;
        std::string requested;
    };
    const Case cases[] = {
        {"host/list", "http://host/list"},
        {"HTTP://host/x", "HTTP://host/x"},
        {"https://host/x", "https://host/x"},
        {"Https://host/x", "Https://host/x"},
        {"ftp://host/x", "http://ftp://host/x"},
        // Only the four letters are tested.
        {"httphost/x", "httphost/x"},
        {"", "http://"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        RecordingRequest request;
        (void)FetchPageText(request, c.url);
        EXPECT_EQ(request.log.front(), "Open(GET, " + c.requested + ", false)");
    }
}

TEST(FetchPageText, MethodAndFlagDefaultOnlyWhenLeftOut) {
    struct Case {
        std::optional<std::string_view> method;
        std::optional<bool> asynchronous;
        std::string open;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "Open(GET, http://h/, false)"},
        {"POST", true, "Open(POST, http://h/, true)"},
        {"", false, "Open(, http://h/, false)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open);
        RecordingRequest request;
        (void)FetchPageText(request, "http://h/", c.method, c.asynchronous);
        EXPECT_EQ(request.log.front(), c.open);
    }
}

TEST(FetchPageText, BodyBecomesTextUpToItsFirstZeroByte) {
    struct Case {
        std::string body;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {std::string("abc\0def", 7), "abc"},
        {std::string("\0abc", 4), ""},
        {"\xD2\xF4\xC0\xD6", "\xD2\xF4\xC0\xD6"},
    };
    for (const Case& c : cases) {
        RecordingRequest request;
        request.body = c.body;
        EXPECT_EQ(FetchPageText(request, "http://h/"), c.text);
    }
}

} // namespace
} // namespace tavenro
