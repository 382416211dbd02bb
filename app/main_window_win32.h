// The program's one window: built hidden from the layout, shown centred,
// driven by the event loop, ended by the user or by a queued request.
#pragma once

#include "app/desktop.h"
#include "app/window_layout_win32.h"
#include "songs/result_list.h"

#include <windows.h>

#include <memory>

namespace tavenro {

struct MainWindowState;

class MainWindow {
  public:
    // The window and all its controls, hidden, at the centre of the primary
    // screen; nullptr when any of them cannot be created. The desktop serves
    // the window's actions and must outlive it.
    [[nodiscard]] static std::unique_ptr<MainWindow> Build(HINSTANCE instance, Desktop& desktop);

    // Destroys the window if it still exists.
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The window handle, also after it has been destroyed.
    [[nodiscard]] HWND Handle() const;
    [[nodiscard]] bool Exists() const;
    [[nodiscard]] HWND ControlHandle(Control control) const;
    [[nodiscard]] ResultList& Songs();

    // Normal size at the built position; activation puts the focus in the
    // number box.
    void Show();

  private:
    // Only Build makes one.
    struct Token {
        explicit Token() = default;
    };

  public:
    MainWindow(Token, std::unique_ptr<MainWindowState> state);

  private:
    std::unique_ptr<MainWindowState> state_;
};

// Marks the main window for destruction and posts the private request that
// the event loop carries out; a second request before then is ignored.
void QueueMainWindowDestruction(HWND window);

// The window's own keys, handled before dispatch: Tab and Shift+Tab move
// the focus through the focus order, Esc closes the window, Enter does
// nothing. True when the message was one of them and is used up.
[[nodiscard]] bool HandleWindowKey(HWND window, const MSG& message);

// Takes, translates and dispatches messages until the quit message; returns
// its code.
int RunEventLoop(HWND window);

} // namespace tavenro
