// The main window's frame and its ten controls: where each sits, what it
// shows, how it is set up, and the order the keyboard focus takes.
#pragma once

#include "text/text_array.h"

#include <windows.h>

#include <array>

namespace tavenro {

// The controls, in the stacking order, topmost first: this decides what
// covers what where boxes overlap (标签1 lies partly under the number box).
enum class Control {
    标签3,
    图片框1,
    选择框1,
    标签2,
    按钮_清空号码,
    标签_状态,
    超级列表框1,
    按钮_搜索,
    编辑框_QQ号码,
    标签1,
};
inline constexpr int kControlCount = 10;

enum class ControlKind { Label, EditBox, PushButton, CheckBox, PictureBox, ListView };

struct ControlEntry {
    ControlKind kind;
    Control name;
    Text text;
    int x, y, width, height; // in the window's client area
    DWORD style;             // beyond WS_CHILD | WS_CLIPSIBLINGS
    DWORD exStyle;
    COLORREF textColour;
};

// One row per control, in Control order.
[[nodiscard]] const std::array<ControlEntry, kControlCount>& MainWindowLayout();

// Tab walks this list forwards, Shift+Tab backwards, both wrapping around.
inline constexpr std::array kFocusOrder{Control::编辑框_QQ号码, Control::按钮_搜索,
                                        Control::超级列表框1, Control::按钮_清空号码,
                                        Control::选择框1};

inline constexpr const char* kMainWindowTitle = "Tavenro";
inline constexpr int kMainWindowWidth = 361; // frame and title bar included
inline constexpr int kMainWindowHeight = 370;
inline constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kMainWindowExStyle = WS_EX_APPWINDOW;

// The child-window id of a control; none is IDOK or IDCANCEL.
[[nodiscard]] constexpr int ControlId(Control control) {
    return 1001 + static_cast<int>(control);
}

// Creates every control of the layout hidden, in the stacking order, with
// the default GUI font and its settings; shows them all once they exist
// (none is activated). False when any of them cannot be created.
[[nodiscard]] bool CreateControls(HWND window, HINSTANCE instance,
                                  std::array<HWND, kControlCount>& controls);

} // namespace tavenro
