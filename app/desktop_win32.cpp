#include "app/desktop_win32.h"

#include "app/main_window_win32.h"

#include <shellapi.h>

#include <cstring>
#include <string>

namespace tavenro {

namespace {

// The clipboard, open for as long as this lives; no owner window.
class OpenedClipboard {
  public:
    OpenedClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    [[nodiscard]] bool IsOpen() const { return open_; }

  private:
    bool open_;
};

// A movable global block, freed unless handed over.
class GlobalBlock {
  public:
    explicit GlobalBlock(SIZE_T size) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {}
    ~GlobalBlock() {
        if (block_)
            GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    [[nodiscard]] HGLOBAL Get() const { return block_; }
    // The clipboard owns the block from here on.
    void Release() { block_ = nullptr; }

  private:
    HGLOBAL block_;
};

// A global block locked for as long as this lives.
class LockedBlock {
  public:
    explicit LockedBlock(HGLOBAL block)
        : block_(block), bytes_(block ? static_cast<char*>(GlobalLock(block)) : nullptr) {}
    ~LockedBlock() {
        if (bytes_)
            GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    [[nodiscard]] char* Bytes() const { return bytes_; }
    [[nodiscard]] std::size_t Size() const { return GlobalSize(block_); }

  private:
    HGLOBAL block_;
    char* bytes_;
};

} // namespace

void Win32Desktop::OpenUrl(std::string_view url) {
    const std::string target(url);
    ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Desktop::ShowMessage(std::string_view text) {
    const std::string shown(text);
    // No owner, and modal for the whole thread: the main window takes no
    // input while the box is up.
    MessageBoxA(nullptr, shown.c_str(), "信息：", MB_OK | MB_TASKMODAL);
}

void Win32Desktop::SetClipboardText(std::string_view text) {
    const OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return;
    EmptyClipboard();
    GlobalBlock block(text.size() + 1);
    {
        const LockedBlock locked(block.Get());
        if (!locked.Bytes())
            return;
        std::memcpy(locked.Bytes(), text.data(), text.size());
    }
    if (SetClipboardData(CF_TEXT, block.Get()))
        block.Release();
}

Text Win32Desktop::GetClipboardText() {
    const OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return {};
    const LockedBlock locked(GetClipboardData(CF_TEXT));
    if (!locked.Bytes())
        return {};
    // Bounded by the block, in case another program left out the NUL.
    return Text(locked.Bytes(), strnlen(locked.Bytes(), locked.Size()));
}

void Win32Desktop::DestroyMainWindow() {
    if (mainWindow_)
        QueueMainWindowDestruction(mainWindow_);
}

} // namespace tavenro
