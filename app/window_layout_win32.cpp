#include "app/window_layout_win32.h"

#include "app/actions.h"

#include <commctrl.h>

namespace tavenro {

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);

// Labels: one line, vertically centred, "&" shown as it is.
constexpr DWORD kLabelStyle = SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;

struct SongColumn {
    const char* header;
    int width;
};
constexpr std::array kSongColumns{SongColumn{"ID", 50}, SongColumn{"歌曲名称", 180},
                                  SongColumn{"歌曲地址", 100}};

const char* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::PictureBox:
        return WC_STATICA;
    case ControlKind::EditBox:
        return WC_EDITA;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        return WC_BUTTONA;
    case ControlKind::ListView:
        return WC_LISTVIEWA;
    }
    return WC_STATICA;
}

void SetUpSongList(HWND list) {
    // No header drag-and-drop, check boxes or hot tracking: only grid lines
    // and whole-row selection.
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
    for (int i = 0; i < static_cast<int>(kSongColumns.size()); ++i) {
        Text header = kSongColumns[i].header;
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kSongColumns[i].width;
        column.pszText = header.data();
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
}

// What a control needs beyond its window styles.
void SetUp(const ControlEntry& entry, HWND control) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    switch (entry.kind) {
    case ControlKind::EditBox:
        // 0 lifts the default limit of 32,767 characters to the largest.
        SendMessageA(control, EM_LIMITTEXT, 0, 0);
        break;
    case ControlKind::CheckBox:
        SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
        break;
    case ControlKind::ListView:
        SetUpSongList(control);
        break;
    default:
        break;
    }
}

} // namespace

const std::array<ControlEntry, kControlCount>& MainWindowLayout() {
    using enum ControlKind;
    static const std::array<ControlEntry, kControlCount> layout{{
        {Label, Control::标签3, CreditLine(), 13, 56, 224, 32, kLabelStyle | SS_NOTIFY, 0, kBlack},
        {PictureBox, Control::图片框1, "", 255, 62, 89, 26, SS_OWNERDRAW | SS_NOTIFY, 0, kBlack},
        {CheckBox, Control::选择框1, "提示地址", 274, 40, 72, 16,
         WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER, 0, kBlack},
        {Label, Control::标签2, "提示：双击列表可复制歌曲地址", 10, 32, 232, 32, kLabelStyle, 0,
         kBlue},
        {PushButton, Control::按钮_清空号码, "清空号码", 274, 8, 72, 24, kButtonStyle, 0, kBlack},
        {Label, Control::标签_状态, "", 16, 87, 184, 16, kLabelStyle, 0, kGreen},
        {ListView, Control::超级列表框1, "", 0, 112, 352, 232,
         WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, WS_EX_CLIENTEDGE, kBlack},
        {PushButton, Control::按钮_搜索, "点我搜索", 186, 8, 72, 24, kButtonStyle, 0, kBlack},
        {EditBox, Control::编辑框_QQ号码, "", 56, 8, 120, 24, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE, kBlack},
        {Label, Control::标签1, "QQ号码：", 8, 8, 56, 24, kLabelStyle, 0, kBlack},
    }};
    return layout;
}

bool CreateControls(HWND window, HINSTANCE instance, std::array<HWND, kControlCount>& controls) {
    HWND above = HWND_TOP;
    for (const ControlEntry& entry : MainWindowLayout()) {
        HWND control = CreateWindowExA(
            entry.exStyle, ClassOf(entry.kind), entry.text.c_str(),
            WS_CHILD | WS_CLIPSIBLINGS | entry.style, entry.x, entry.y, entry.width, entry.height,
            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(entry.name))), instance,
            nullptr);
        if (!control)
            return false;
        controls[static_cast<int>(entry.name)] = control;
        SetUp(entry, control);
        // Each control goes just below the one before it, whatever place
        // the system gave it.
        SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = control;
    }
    for (HWND control : controls)
        ShowWindow(control, SW_SHOWNA);
    return true;
}

} // namespace tavenro
