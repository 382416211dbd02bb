// The desktop operations on the real platform: the shell's "open", the
// message box, the clipboard in its ANSI text format, and the queued end of
// the main window.
#pragma once

#include "app/desktop.h"

#include <windows.h>

namespace tavenro {

class Win32Desktop final : public Desktop {
  public:
    // The window that DestroyMainWindow ends; until it is set the request
    // does nothing.
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    void OpenUrl(std::string_view url) override;
    void ShowMessage(std::string_view text) override;
    void SetClipboardText(std::string_view text) override;
    [[nodiscard]] Text GetClipboardText() override;
    void DestroyMainWindow() override;

  private:
    HWND mainWindow_ = nullptr;
};

} // namespace tavenro
