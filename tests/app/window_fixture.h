// The real main window in the test's own process, as the program builds it,
// and the helpers that drive it the way the event loop and the user do.
#pragma once

#include "app/desktop_win32.h"
#include "app/main_window_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace tavenro::testing {

// Puts the calling thread on the Wine desktop named by TAVENRO_TEST_DESKTOP
// (gui-test.sh sets it; see on_desktop.cpp for why), before the thread makes
// any window. Without the variable the thread stays where it is.
void JoinTestDesktop();

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] HWND Handle() const { return window->Handle(); }
    [[nodiscard]] HWND Of(Control control) const { return window->ControlHandle(control); }

    Win32Desktop desktop;
    std::unique_ptr<MainWindow> window;
};

// Lets the event loop take one key-down posted to target (with Shift held
// when asked), and whatever it leads to; returns the loop's exit code.
int PressKey(HWND window, HWND target, WPARAM key, bool shift = false);

// Runs the event loop until everything queued so far is done.
int RunQueued(HWND window);

// Throws away what is left in the queue, the quit message included.
void DrainQueue();

[[nodiscard]] std::string TextOf(HWND window);

// The clipboard's ANSI text read straight from the platform, or "<none>".
[[nodiscard]] std::string RawClipboardText();
void SetRawClipboardText(const std::string& text);

// Polls until done() or the time is up; true when done() held. (<chrono>
// cannot be compiled with the GBK execution character set.)
template <class Done> bool WaitFor(Done done, unsigned long long limitMs) {
    const unsigned long long end = GetTickCount64() + limitMs;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        Sleep(20);
    }
    return true;
}

} // namespace tavenro::testing
