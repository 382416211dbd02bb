// What the real window does when its controls are worked: the double-click
// copy with its message box, the clear button, the two links.
#include "app/actions.h"
#include "tests/app/window_fixture.h"

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tavenro::testing {
namespace {

// What a message box of the GUI thread showed; the watcher closes it.
struct SeenBox {
    bool seen = false;
    std::string caption;
    std::string text;
    bool owned = false;
    bool ownerEnabledWhileShown = true;
    bool mainEnabledWhileShown = true;
    int visibleButtons = 0;
    bool iconShown = false;
};

// Watches the GUI thread from a second thread for a dialog box, reads it
// and presses OK, so that the modal box returns.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher(DWORD guiThread, HWND mainWindow)
        : guiThread_(guiThread), main_(mainWindow), thread_([this] { Watch(); }) {}
    ~MessageBoxWatcher() { Stop(); }

    SeenBox Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

  private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM found) {
        char name[16]{};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK CountChild(HWND child, LPARAM seen) {
        auto& box = *reinterpret_cast<SeenBox*>(seen);
        char name[16]{};
        GetClassNameA(child, name, sizeof name);
        if (!IsWindowVisible(child))
            return TRUE;
        if (_stricmp(name, "Button") == 0)
            ++box.visibleButtons;
        if (_stricmp(name, "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(child, STM_GETICON, 0, 0) != 0)
            box.iconShown = true;
        return TRUE;
    }

    void Watch() {
        JoinTestDesktop();
        while (!stop_) {
            HWND box = nullptr;
            EnumThreadWindows(guiThread_, FindBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                Read(box);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    }

    void Read(HWND box) {
        seen_.seen = true;
        char text[4096]{};
        GetWindowTextA(box, text, sizeof text);
        seen_.caption = text;
        text[0] = 0;
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen_.text = text;
        seen_.owned = GetWindow(box, GW_OWNER) != nullptr;
        seen_.mainEnabledWhileShown = IsWindowEnabled(main_) != FALSE;
        EnumChildWindows(box, CountChild, reinterpret_cast<LPARAM>(&seen_));
    }

    DWORD guiThread_;
    HWND main_;
    std::atomic<bool> stop_{false};
    SeenBox seen_;
    std::thread thread_;
};

class WindowActionsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        list = Of(Control::超级列表框1);
        for (const char* address : {"http://a.example/1.mp3", "http://例子.example/歌曲.mp3", ""}) {
            const int row = window->Songs().InsertItem(std::nullopt, "n");
            window->Songs().SetItemText(row, 1, "name");
            window->Songs().SetItemText(row, 2, address);
        }
        SetRawClipboardText("before");
    }

    void Select(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    void Tick(bool ticked) {
        SendMessageA(Of(Control::选择框1), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    // A double-click of the left button at a row (or, for -1, on the blank
    // part under the rows); returns what message box it brought up.
    SeenBox DoubleClick(int row) {
        POINT at{60, 200};
        if (row >= 0) {
            RECT bounds{};
            bounds.left = LVIR_BOUNDS;
            SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
            at = {bounds.left + 20, (bounds.top + bounds.bottom) / 2};
        }
        MessageBoxWatcher watcher(GetCurrentThreadId(), Handle());
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        return watcher.Stop();
    }

    HWND list = nullptr;
};

TEST_F(WindowActionsTest, DoubleClickTickedCopiesAndShowsTheAddress) {
    const struct {
        int row;
        std::string address;
    } cases[] = {{1, "http://例子.example/歌曲.mp3"}, {0, "http://a.example/1.mp3"}, {2, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Select(c.row);
        const SeenBox box = DoubleClick(c.row);
        EXPECT_EQ(RawClipboardText(), c.address);
        ASSERT_TRUE(box.seen);
        EXPECT_EQ(box.caption, "信息：");
        EXPECT_EQ(box.text, "链接已复制\r\n歌曲链接地址：" + c.address +
                                "\r\n请到迅雷下载.或者直接添加到QQ空间背景音乐..");
        EXPECT_FALSE(box.owned);
        EXPECT_FALSE(box.mainEnabledWhileShown) << "modal for the thread";
        EXPECT_EQ(box.visibleButtons, 1);
        EXPECT_FALSE(box.iconShown);
    }
}

TEST_F(WindowActionsTest, DoubleClickUntickedOnlyCopies) {
    Tick(false);
    Select(0);
    const SeenBox box = DoubleClick(0);
    EXPECT_EQ(RawClipboardText(), "http://a.example/1.mp3");
    EXPECT_FALSE(box.seen);
}

TEST_F(WindowActionsTest, DoubleClickWithoutASelectedRowDoesNothing) {
    const SeenBox onBlank = DoubleClick(-1);
    EXPECT_FALSE(onBlank.seen);
    EXPECT_EQ(RawClipboardText(), "before");

    window->Songs().DeleteAllItems();
    const SeenBox onEmpty = DoubleClick(-1);
    EXPECT_FALSE(onEmpty.seen);
    EXPECT_EQ(RawClipboardText(), "before");
}

TEST_F(WindowActionsTest, ClearButtonEmptiesOnlyTheNumberBox) {
    SetWindowTextA(Of(Control::编辑框_QQ号码), "12345");
    SetWindowTextA(Of(Control::标签_状态), "一共搜索到 [3]首歌曲");
    SendMessageA(Of(Control::按钮_清空号码), BM_CLICK, 0, 0);
    EXPECT_EQ(TextOf(Of(Control::编辑框_QQ号码)), "");
    EXPECT_EQ(TextOf(Of(Control::标签_状态)), "一共搜索到 [3]首歌曲");
    EXPECT_EQ(window->Songs().ItemCount(), 3);
    EXPECT_EQ(window->Songs().GetItemText(0, 2), "http://a.example/1.mp3");
    EXPECT_EQ(SendMessageA(Of(Control::选择框1), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(WindowActionsTest, SearchWithUnreachableServiceEmptiesTheListAndEnablesTheButton) {
    // Port 1 on the loopback refuses: the search must not reach any network.
    _putenv("TAVENRO_MUSIC_HOST=127.0.0.1:1");
    SetFocus(Of(Control::按钮_搜索));
    SendMessageA(Of(Control::按钮_搜索), BM_CLICK, 0, 0);
    _putenv("TAVENRO_MUSIC_HOST=");
    EXPECT_TRUE(IsWindowEnabled(Of(Control::按钮_搜索)));
    // The keyboard still works: the button has the focus back.
    EXPECT_EQ(GetFocus(), Of(Control::按钮_搜索));
    EXPECT_EQ(window->Songs().ItemCount(), 0);
    EXPECT_EQ(TextOf(Of(Control::标签_状态)), "一共搜索到 [0]首歌曲");
}

// The addresses Wine's shell handed to the browser: the test's recorder
// (tests/app/browser/tavenro-browser) appends each to this file.
class BrowserLog {
  public:
    BrowserLog() {
        const char* unixPath = std::getenv("TAVENRO_BROWSER_LOG");
        if (unixPath)
            path_ = std::string("Z:") + unixPath;
    }
    [[nodiscard]] bool Available() const { return !path_.empty(); }

    [[nodiscard]] std::vector<std::string> Lines() const {
        std::ifstream in(path_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Waits until n more lines than `before` have arrived.
    [[nodiscard]] std::vector<std::string> WaitForMore(std::size_t before, std::size_t n) const {
        std::vector<std::string> lines;
        WaitFor([&] { return (lines = Lines()).size() >= before + n; }, 60000);
        return {lines.begin() + std::min(before, lines.size()), lines.end()};
    }

  private:
    std::string path_;
};

TEST_F(WindowActionsTest, LinksOpenTheirPagesAsTheButtonGoesDown) {
    const BrowserLog log;
    if (!log.Available())
        GTEST_SKIP() << "TAVENRO_BROWSER_LOG not set (run through tests/app/gui-test.sh)";

    const std::size_t before = log.Lines().size();
    // Only the button going down: the page must not wait for its release.
    SendMessageA(Of(Control::标签3), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(log.WaitForMore(before, 1), std::vector<std::string>{MakerSiteAddress()});
    SendMessageA(Of(Control::图片框1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(log.WaitForMore(before + 1, 1), std::vector<std::string>{GroupInviteAddress()});
}

TEST_F(WindowActionsTest, OpenUrlHandsTheExactAddressToTheShell) {
    const BrowserLog log;
    if (!log.Available())
        GTEST_SKIP() << "TAVENRO_BROWSER_LOG not set (run through tests/app/gui-test.sh)";
    const std::size_t before = log.Lines().size();
    desktop.OpenUrl("http://aa.bb/new?x=1&y=2");
    EXPECT_EQ(log.WaitForMore(before, 1), std::vector<std::string>{"http://aa.bb/new?x=1&y=2"});
}

} // namespace
} // namespace tavenro::testing
