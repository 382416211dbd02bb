// The clipboard half of the desktop binding against the real clipboard.
#include "app/desktop_win32.h"
#include "tests/app/window_fixture.h"

#include <thread>

namespace tavenro::testing {
namespace {

TEST(Win32Clipboard, TextGoesInAndComesBackAsAnsiText) {
    Win32Desktop desktop;
    for (const std::string text : {"http://a.example/1.mp3", "歌曲 地址", ""}) {
        SCOPED_TRACE(text);
        desktop.SetClipboardText(text);
        EXPECT_EQ(RawClipboardText(), text);
        EXPECT_EQ(desktop.GetClipboardText(), text);
    }
}

TEST(Win32Clipboard, NoTextReadsEmpty) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(Win32Desktop().GetClipboardText(), "");
}

TEST(Win32Clipboard, HeldOpenElsewhereChangesNothingAndReadsEmpty) {
    SetRawClipboardText("kept");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // Held the way another program holds it: open for a window of its own.
    std::thread holder([&] {
        JoinTestDesktop();
        HWND owner = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr);
        EXPECT_TRUE(OpenClipboard(owner));
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, 10000);

    Win32Desktop desktop;
    desktop.SetClipboardText("new");
    EXPECT_EQ(desktop.GetClipboardText(), "");

    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(RawClipboardText(), "kept");
}

} // namespace
} // namespace tavenro::testing
