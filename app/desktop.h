// The desktop operations the program's routines rest on: the shell's "open",
// the message box, the clipboard and the queued end of the main window. The
// Windows build binds them to the real platform (desktop_win32.cpp); tests
// record them.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Asks the shell to open the URL; the outcome is not examined.
    virtual void OpenUrl(std::string_view url) = 0;

    // A modal box with the text, caption "信息：", one OK button, no icon,
    // no owner; returns when dismissed.
    virtual void ShowMessage(std::string_view text) = 0;

    // Replaces the clipboard with the text (ANSI); unchanged when the
    // clipboard cannot be opened.
    virtual void SetClipboardText(std::string_view text) = 0;

    // The clipboard's ANSI text, empty when there is none.
    [[nodiscard]] virtual Text GetClipboardText() = 0;

    // Queues the destruction of the main window; returns at once.
    virtual void DestroyMainWindow() = 0;
};

} // namespace tavenro
