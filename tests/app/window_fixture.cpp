#include "tests/app/window_fixture.h"

#include <ole2.h>

#include <cstdlib>

namespace tavenro::testing {

namespace {

HDESK TestDesktop() {
    static const HDESK desktop = [] {
        const char* name = std::getenv("TAVENRO_TEST_DESKTOP");
        return name && *name ? CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr)
                             : nullptr;
    }();
    return desktop;
}

// The test's desktop, then COM as the program has it from start-up (the
// badge decoder needs it).
class OleEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        JoinTestDesktop();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override { OleUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const ole =
    ::testing::AddGlobalTestEnvironment(new OleEnvironment);

} // namespace

void JoinTestDesktop() {
    if (const HDESK desktop = TestDesktop()) {
        ASSERT_TRUE(SetThreadDesktop(desktop));
    }
}

void MainWindowTest::SetUp() {
    DrainQueue();
    window = MainWindow::Build(GetModuleHandleA(nullptr), desktop);
    ASSERT_TRUE(window);
    desktop.SetMainWindow(window->Handle());
    window->Show();
    RunQueued(window->Handle());
}

void MainWindowTest::TearDown() {
    window.reset();
    DrainQueue();
}

int RunQueued(HWND window) {
    PostQuitMessage(0);
    return RunEventLoop(window);
}

int PressKey(HWND window, HWND target, WPARAM key, bool shift) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(target, WM_KEYDOWN, key, 1);
    const int code = RunQueued(window);
    keys[VK_SHIFT] = before;
    SetKeyboardState(keys);
    return code;
}

void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    }
}

std::string TextOf(HWND window) {
    char text[4096]{};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string RawClipboardText() {
    if (!OpenClipboard(nullptr))
        return "<closed>";
    std::string text = "<none>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void SetRawClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

} // namespace tavenro::testing
