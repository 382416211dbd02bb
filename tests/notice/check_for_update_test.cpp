// The start-up announcement check against announcement pages of the local
// demo service, with the desktop's operations recorded in order.
#include "notice/check_for_update.h"

#include "notice/open_address.h"
#include "tests/service/demo_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavenro {
namespace {

using testing::DemoService;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::QueryValue;

// Records what the check asks of the desktop, one line per operation.
class RecordingDesktop : public Desktop {
  public:
    std::vector<std::string> calls;

    void OpenUrl(std::string_view url) override { calls.push_back("open " + std::string(url)); }
    void ShowMessage(std::string_view text) override {
        calls.push_back("message " + std::string(text));
    }
    void SetClipboardText(std::string_view text) override {
        calls.push_back("clipboard " + std::string(text));
    }
    Text GetClipboardText() override { return {}; }
    void DestroyMainWindow() override { calls.push_back("destroy"); }
};

const std::string kNotice = "message 软件已更新，点击确定打开更新网址下载";

class CheckForUpdateTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<DemoService>(); }
    static void TearDownTestSuite() {
        testing::SetEnvironment("TAVENRO_NOTICE_URL", "");
        service.reset();
    }
    void TearDown() override { ReleaseNoticeTexts(); }

    // Runs the check against the announcement page at the URL.
    std::vector<std::string> CheckAt(const std::string& url) {
        testing::SetEnvironment("TAVENRO_NOTICE_URL", url);
        RecordingDesktop desktop;
        CheckForUpdate(desktop);
        return desktop.calls;
    }

    // Runs the check against the service's page with these options, each
    // a name and a raw value.
    std::vector<std::string>
    Check(const std::vector<std::pair<std::string, std::string>>& options) {
        std::string target = "/notice.html";
        char separator = '?';
        for (const auto& [name, value] : options) {
            target += separator + name + "=" + QueryValue(value);
            separator = '&';
        }
        return CheckAt(service->Url(target));
    }

    static inline std::unique_ptr<DemoService> service;
};

struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> page;
    std::vector<std::string> expected;
};

TEST_F(CheckForUpdateTest, ActsOnTheAnnouncedFields) {
    const Case cases[] = {
        {"own version, no promotional page", {{"update", "aa.bb/new"}}, {}},
        {"own version, promotional page", {{"promo", "aa.bb/c"}}, {"open http://aa.bb/c"}},
        {"empty promotional field opens nothing", {{"promo", ""}}, {}},
        {"newer version",
         {{"version", "V1.1"}, {"update", "aa.bb/new"}},
         {kNotice, "open http://aa.bb/new", "destroy"}},
        {"promotional page first, then the update",
         {{"version", "V1.1"}, {"update", "aa.bb/new"}, {"promo", "aa.bb/c"}},
         {"open http://aa.bb/c", kNotice, "open http://aa.bb/new", "destroy"}},
        {"letter case counts",
         {{"version", "v1.0"}, {"update", "aa.bb/new"}},
         {kNotice, "open http://aa.bb/new", "destroy"}},
        {"blanks count",
         {{"version", " V1.0"}, {"update", "aa.bb/new"}},
         {kNotice, "open http://aa.bb/new", "destroy"}},
        {"only the first pair counts",
         {{"page", "<p>[1]V1.0[1]</p><p>[1]V2.0[1][2]aa.bb/new[2]</p>"}},
         {}},
        {"a slow page is waited for",
         {{"delay", "1"}, {"version", "V1.1"}, {"update", "aa.bb/new"}},
         {kNotice, "open http://aa.bb/new", "destroy"}},
        {"Chinese in an address reaches the shell as is",
         {{"promo", "aa.bb/歌曲"}},
         {"open http://aa.bb/歌曲"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(Check(c.page), ElementsAreArray(c.expected));
    }
}

TEST_F(CheckForUpdateTest, APageWithoutVersionAnnouncesNothing) {
    // Each would once have claimed an update and opened "http://" alone.
    const Case cases[] = {
        {"no markers", {{"markers", "none"}}, {}},
        {"error page", {{"status", "404"}}, {}},
        {"empty version, other fields set",
         {{"version", ""}, {"update", "aa.bb/new"}, {"promo", "aa.bb/c"}},
         {}},
        {"version never closed", {{"page", "[1]V1.1 [2]aa.bb/new[2]"}}, {}},
        {"connection closed without a reply", {{"close", "1"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(Check(c.page), ElementsAreArray(c.expected));
    }
    SCOPED_TRACE("nothing listening");
    EXPECT_THAT(CheckAt("http://" + service->ClosedHostPort() + "/notice.html"), IsEmpty());
    EXPECT_THAT(NoticePage, IsEmpty());
}

TEST_F(CheckForUpdateTest, OpensOnlyWebAddresses) {
    const Case cases[] = {
        {"empty update address: notice, nothing opened",
         {{"version", "V1.1"}, {"update", ""}},
         {kNotice, "destroy"}},
        {"own scheme kept",
         {{"version", "V1.1"}, {"update", "https://aa.bb/new"}, {"promo", "HTTP://aa.bb/c"}},
         {"open HTTP://aa.bb/c", kNotice, "open https://aa.bb/new", "destroy"}},
        {"another scheme stays behind http://",
         {{"promo", "file:///C:/windows/notepad.exe"}},
         {"open http://file:///C:/windows/notepad.exe"}},
        {"a quote would split the browser's command line",
         {{"version", "V1.1"}, {"update", "aa.bb/new\" --evil"}},
         {kNotice, "destroy"}},
        {"line breaks", {{"promo", "aa.bb/c\r\nbb.cc/d"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(Check(c.page), ElementsAreArray(c.expected));
    }
}

TEST_F(CheckForUpdateTest, KeepsWhatItReadUntilReleased) {
    Check({{"page", "<p>[2]aa.bb/new[2][1]V1.0[1][3] aa.bb/c [3]</p>[1]V2.0[1]"}});
    EXPECT_EQ(LatestVersion, "V1.0");
    EXPECT_EQ(UpdateAddress, "aa.bb/new");
    EXPECT_EQ(PromoAddress, " aa.bb/c "); // untrimmed
    EXPECT_EQ(NoticePage, "<p>[2]aa.bb/new[2][1]V1.0[1][3] aa.bb/c [3]</p>[1]V2.0[1]");

    ReleaseNoticeTexts();
    EXPECT_THAT(NoticePage, IsEmpty());
    EXPECT_THAT(LatestVersion, IsEmpty());
    EXPECT_THAT(UpdateAddress, IsEmpty());
    EXPECT_THAT(PromoAddress, IsEmpty());
}

TEST(AddressToOpenTest, GivesAWebAddressOrNothing) {
    const struct {
        const char* field;
        const char* expected;
    } cases[] = {
        {"aa.bb/c", "http://aa.bb/c"},
        {"http://aa.bb/c", "http://aa.bb/c"},
        {"HtTpS://aa.bb/c", "HtTpS://aa.bb/c"},
        {"", ""},
        {"http://", ""},
        {"HTTPS://", ""},
        {"javascript:alert(1)", "http://javascript:alert(1)"},
        {"httpx.example/a", "http://httpx.example/a"},
        {"中文.example/页", "http://中文.example/页"},
        {"aa.bb/\"", ""},
        {"aa.bb/\tc", ""},
        {"aa.bb/\x7f", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(AddressToOpen(c.field), c.expected);
    }
}

} // namespace
} // namespace tavenro
