// The window's actions over a recording desktop and a table in memory.
#include "app/actions.h"
#include "app/exit_routines.h"
#include "songs/memory_result_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavenro {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Records every call in order; the clipboard can be made to refuse writes,
// as when another program holds it open.
class RecordingDesktop : public Desktop {
  public:
    void OpenUrl(std::string_view url) override { calls.push_back("open " + Text(url)); }
    void ShowMessage(std::string_view text) override { calls.push_back("show " + Text(text)); }
    void SetClipboardText(std::string_view text) override {
        calls.push_back("set " + Text(text));
        if (!clipboardLocked)
            clipboard = text;
    }
    Text GetClipboardText() override {
        calls.push_back("get");
        return clipboard;
    }
    void DestroyMainWindow() override { calls.push_back("destroy"); }

    std::vector<std::string> calls;
    Text clipboard;
    bool clipboardLocked = false;
};

class CopySelectedAddressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* address : {"http://a.example/1.mp3", "http://a.example/2.mp3", ""}) {
            const int row = songs.InsertItem(std::nullopt, "x");
            songs.SetItemText(row, 2, address);
        }
        desktop.clipboard = "old";
    }

    RecordingDesktop desktop;
    MemoryResultList songs;
};

TEST_F(CopySelectedAddressTest, TickedCopiesThenShowsWhatTheClipboardHolds) {
    songs.selected = 1;
    CopySelectedAddress(desktop, songs, true);
    EXPECT_THAT(desktop.calls,
                ElementsAre("set http://a.example/2.mp3", "get",
                            "show 链接已复制\r\n歌曲链接地址：http://a.example/2.mp3\r\n"
                            "请到迅雷下载.或者直接添加到QQ空间背景音乐.."));
    EXPECT_EQ(desktop.clipboard, "http://a.example/2.mp3");
}

TEST_F(CopySelectedAddressTest, UntickedOnlyCopies) {
    songs.selected = 0;
    CopySelectedAddress(desktop, songs, false);
    EXPECT_THAT(desktop.calls, ElementsAre("set http://a.example/1.mp3"));
}

TEST_F(CopySelectedAddressTest, NoSelectedRowDoesNothing) {
    songs.selected = -1;
    CopySelectedAddress(desktop, songs, true);
    EXPECT_THAT(desktop.calls, IsEmpty());
    EXPECT_EQ(desktop.clipboard, "old");
}

TEST_F(CopySelectedAddressTest, EmptyAddressCellCopiesTheEmptyText) {
    songs.selected = 2;
    CopySelectedAddress(desktop, songs, true);
    EXPECT_THAT(desktop.calls, ElementsAre("set ", "get",
                                           "show 链接已复制\r\n歌曲链接地址：\r\n"
                                           "请到迅雷下载.或者直接添加到QQ空间背景音乐.."));
}

TEST_F(CopySelectedAddressTest, ClipboardHeldElsewhereShowsItsOldContent) {
    desktop.clipboardLocked = true;
    songs.selected = 0;
    CopySelectedAddress(desktop, songs, true);
    ASSERT_EQ(desktop.calls.size(), 3u);
    EXPECT_EQ(desktop.calls[2], "show 链接已复制\r\n歌曲链接地址：old\r\n"
                                "请到迅雷下载.或者直接添加到QQ空间背景音乐..");
}

TEST(Links, OpenTheTwoPagesInTheirForm) {
    RecordingDesktop desktop;
    OpenMakerSite(desktop);
    OpenGroupInvite(desktop);
    ASSERT_EQ(desktop.calls.size(), 2u);
    // Path "/" and the bare query "qzone".
    EXPECT_THAT(desktop.calls[0], StartsWith("open http://"));
    EXPECT_THAT(desktop.calls[0], EndsWith("/?qzone"));
    EXPECT_EQ(desktop.calls[0].find('/', 12), desktop.calls[0].size() - 7);
    // The group key: 64 lowercase hexadecimal digits.
    const std::string lead = "/wpa/qunwpa?idkey=";
    const std::string& invite = desktop.calls[1];
    EXPECT_THAT(invite, StartsWith("open http://"));
    const std::size_t at = invite.find(lead);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(invite.find('/', 12), at);
    const std::string key = invite.substr(at + lead.size());
    EXPECT_EQ(key.size(), 64u);
    EXPECT_EQ(key.find_first_not_of("0123456789abcdef"), std::string::npos) << key;
}

TEST(Links, CreditLineNamesTheSiteThatOpens) {
    const Text address = MakerSiteAddress();
    const Text host = address.substr(7, address.find('/', 7) - 7);
    EXPECT_NE(CreditLine().find(host), Text::npos);
}

std::vector<int> ran;

TEST(ExitRoutines, RunOnceEachInRegistrationOrder) {
    ran.clear();
    ExitRoutines routines;
    routines.Register([] { ran.push_back(1); });
    routines.Register([] { ran.push_back(2); });
    routines.RunAll();
    routines.RunAll();
    EXPECT_THAT(ran, ElementsAre(1, 2));
}

} // namespace
} // namespace tavenro
