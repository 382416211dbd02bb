// The main window as built: frame, controls, stacking, keyboard and focus,
// and how it ends.
#include "tests/app/window_fixture.h"

#include <commctrl.h>

#include <array>
#include <cstring>
#include <vector>

namespace tavenro::testing {
namespace {

RECT ClientRectOf(HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

std::string ClassOf(HWND window) {
    char name[64]{};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}
LONG ExStyleOf(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

TEST_F(MainWindowTest, FrameIsAFixedDialogFrameCentredOnTheScreen) {
    RECT frame;
    GetWindowRect(Handle(), &frame);
    EXPECT_EQ(frame.right - frame.left, 361);
    EXPECT_EQ(frame.bottom - frame.top, 370);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 361) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 370) / 2);

    EXPECT_EQ(TextOf(Handle()), "Tavenro");
    const LONG style = StyleOf(Handle());
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "resizable";
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_FALSE(ExStyleOf(Handle()) & WS_EX_TOPMOST);
    EXPECT_FALSE(ExStyleOf(Handle()) & WS_EX_TOOLWINDOW) << "no task-bar button";
    EXPECT_EQ(GetClassLongPtrA(Handle(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    EXPECT_NE(GetClassLongPtrA(Handle(), GCLP_HICON), 0);
    EXPECT_TRUE(IsWindowVisible(Handle()));
}

struct ExpectedControl {
    Control name;
    const char* className;
    int x, y, width, height;
    const char* text;
    bool tabStop;
};

// Written from the layout as it is meant to be, not from the code's table.
const ExpectedControl kExpected[] = {
    {Control::标签1, "Static", 8, 8, 56, 24, "QQ号码：", false},
    {Control::编辑框_QQ号码, "Edit", 56, 8, 120, 24, "", true},
    {Control::按钮_搜索, "Button", 186, 8, 72, 24, "点我搜索", true},
    {Control::按钮_清空号码, "Button", 274, 8, 72, 24, "清空号码", true},
    {Control::标签2, "Static", 10, 32, 232, 32, "提示：双击列表可复制歌曲地址", false},
    {Control::选择框1, "Button", 274, 40, 72, 16, "提示地址", true},
    {Control::标签3, "Static", 13, 56, 224, 32, nullptr, false},
    {Control::图片框1, "Static", 255, 62, 89, 26, "", false},
    {Control::标签_状态, "Static", 16, 87, 184, 16, "", false},
    {Control::超级列表框1, "SysListView32", 0, 112, 352, 232, "", true},
};

TEST_F(MainWindowTest, EveryControlSitsWhereTheLayoutPutsIt) {
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(expected.className + std::to_string(static_cast<int>(expected.name)));
        const HWND control = Of(expected.name);
        ASSERT_TRUE(IsWindow(control));
        EXPECT_EQ(GetParent(control), Handle());
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), expected.className);
        const RECT box = ClientRectOf(control);
        EXPECT_EQ(box.left, expected.x);
        EXPECT_EQ(box.top, expected.y);
        EXPECT_EQ(box.right - box.left, expected.width);
        EXPECT_EQ(box.bottom - box.top, expected.height);
        if (expected.text) {
            EXPECT_EQ(TextOf(control), expected.text);
        }
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));
        EXPECT_EQ(static_cast<WPARAM>(SendMessageA(control, WM_GETFONT, 0, 0)), font);
        EXPECT_EQ((StyleOf(control) & WS_TABSTOP) != 0, expected.tabStop);
    }
}

TEST_F(MainWindowTest, CreditLineIsOneLineNamingTheMakersSite) {
    const std::string credit = TextOf(Of(Control::标签3));
    EXPECT_NE(credit.find("www."), std::string::npos) << credit;
    EXPECT_EQ(credit.find('\n'), std::string::npos);
}

TEST_F(MainWindowTest, LabelsAreSingleLineVerticallyCentredWithoutBorder) {
    for (Control label : {Control::标签1, Control::标签2, Control::标签3, Control::标签_状态}) {
        SCOPED_TRACE(static_cast<int>(label));
        const LONG style = StyleOf(Of(label));
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
        EXPECT_TRUE(style & SS_CENTERIMAGE);
        EXPECT_FALSE(style & (WS_BORDER | SS_SUNKEN));
        EXPECT_FALSE(ExStyleOf(Of(label)) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    }
}

TEST_F(MainWindowTest, ControlSettings) {
    const HWND number = Of(Control::编辑框_QQ号码);
    const LONG edit = StyleOf(number);
    EXPECT_TRUE(edit & ES_AUTOHSCROLL);
    EXPECT_FALSE(edit &
                 (ES_MULTILINE | ES_NOHIDESEL | ES_NUMBER | ES_READONLY | ES_CENTER | ES_RIGHT));
    EXPECT_TRUE(ExStyleOf(number) & WS_EX_CLIENTEDGE);
    EXPECT_GT(SendMessageA(number, EM_GETLIMITTEXT, 0, 0), 32767);

    for (Control button : {Control::按钮_搜索, Control::按钮_清空号码}) {
        const LONG style = StyleOf(Of(button));
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "not a default button";
        EXPECT_EQ(style & BS_CENTER, BS_CENTER);
        EXPECT_EQ(style & BS_VCENTER, BS_VCENTER);
    }

    const HWND check = Of(Control::选择框1);
    const LONG checkStyle = StyleOf(check);
    EXPECT_EQ(checkStyle & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(checkStyle & BS_CENTER, BS_LEFT);
    EXPECT_EQ(checkStyle & BS_VCENTER, BS_VCENTER);
    EXPECT_FALSE(checkStyle & BS_LEFTTEXT) << "the box is on the left";
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);

    EXPECT_FALSE(StyleOf(Of(Control::图片框1)) & WS_BORDER);
    EXPECT_FALSE(ExStyleOf(Of(Control::图片框1)) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}

TEST_F(MainWindowTest, SongListIsAPlainReportWithThreeColumns) {
    const HWND list = Of(Control::超级列表框1);
    const LONG style = StyleOf(list);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_FALSE(style & (LVS_SHOWSELALWAYS | LVS_SORTASCENDING | LVS_SORTDESCENDING |
                          LVS_EDITLABELS | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER));
    EXPECT_TRUE(ExStyleOf(list) & WS_EX_CLIENTEDGE);
    const auto extended = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(extended & (LVS_EX_HEADERDRAGDROP | LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT |
                             LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE));
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);

    const struct {
        const char* header;
        int width;
    } columns[] = {{"ID", 50}, {"歌曲名称", 180}, {"歌曲地址", 100}};
    for (int i = 0; i < 3; ++i) {
        char header[64]{};
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = header;
        column.cchTextMax = sizeof header;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(header, columns[i].header);
        EXPECT_EQ(column.cx, columns[i].width);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LVCOLUMNA fourth{};
    fourth.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageA(list, LVM_GETCOLUMNA, 3, reinterpret_cast<LPARAM>(&fourth)));
}

TEST_F(MainWindowTest, StackingOrderTopmostFirst) {
    const std::vector<Control> expected{
        Control::标签3,         Control::图片框1,   Control::选择框1,     Control::标签2,
        Control::按钮_清空号码, Control::标签_状态, Control::超级列表框1, Control::按钮_搜索,
        Control::编辑框_QQ号码, Control::标签1};
    std::vector<HWND> stacked;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        stacked.push_back(child);
    ASSERT_EQ(stacked.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(stacked[i], Of(expected[i])) << "place " << i;
}

TEST_F(MainWindowTest, LabelsDrawTheirColourOverTheWindowBackground) {
    const struct {
        Control label;
        COLORREF colour;
    } cases[] = {{Control::标签1, RGB(0, 0, 0)},
                 {Control::标签2, RGB(0, 0, 255)},
                 {Control::标签3, RGB(0, 0, 0)},
                 {Control::标签_状态, RGB(0, 128, 0)},
                 {Control::选择框1, RGB(0, 0, 0)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.label));
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, OPAQUE);
        const auto brush = SendMessageA(Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(Of(c.label)));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
        EXPECT_EQ(GetTextColor(dc), c.colour);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        DeleteDC(dc);
    }
}

TEST_F(MainWindowTest, HandPointerOverTheBadgeOnly) {
    const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    const struct {
        Control under;
        HCURSOR pointer;
    } cases[] = {{Control::图片框1, hand},
                 {Control::标签3, arrow},
                 {Control::标签2, arrow},
                 {Control::超级列表框1, arrow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.under));
        SetCursor(nullptr);
        const HWND under = Of(c.under);
        // The system's own route: the control asks its parent first.
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), c.pointer);
    }
}

TEST_F(MainWindowTest, BadgeIsDrawnAtItsOwnSizeFromTheTopLeft) {
    const HWND badge = Of(Control::图片框1);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 89, 26);
    HGDIOBJ old = SelectObject(dc, canvas);
    SendMessageA(badge, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const auto orange = [](COLORREF c) { return GetRValue(c) > 200 && GetBValue(c) < 120; };
    // Inside the picture, up to the box's last column (the picture's 90th
    // column is cut off); below its 22 rows the window's background.
    EXPECT_TRUE(orange(GetPixel(dc, 2, 11))) << std::hex << GetPixel(dc, 2, 11);
    EXPECT_TRUE(orange(GetPixel(dc, 88, 11))) << std::hex << GetPixel(dc, 88, 11);
    EXPECT_EQ(GetPixel(dc, 45, 23), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, 45, 25), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(MainWindowTest, CaretIsInTheNumberBoxWhenFirstShown) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(info.hwndFocus, Of(Control::编辑框_QQ号码));
    EXPECT_EQ(info.hwndCaret, Of(Control::编辑框_QQ号码));
    EXPECT_EQ(info.hwndActive, Handle());
}

TEST_F(MainWindowTest, TabWalksTheFocusOrderAndWraps) {
    const Control forwards[] = {Control::按钮_搜索, Control::超级列表框1, Control::按钮_清空号码,
                                Control::选择框1, Control::编辑框_QQ号码};
    SetFocus(Of(Control::编辑框_QQ号码));
    for (Control next : forwards) {
        PressKey(Handle(), GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), Of(next)) << "expected " << static_cast<int>(next);
    }
}

TEST_F(MainWindowTest, ShiftTabWalksItBackwardsAndWraps) {
    const Control backwards[] = {Control::选择框1, Control::按钮_清空号码, Control::超级列表框1,
                                 Control::按钮_搜索, Control::编辑框_QQ号码};
    SetFocus(Of(Control::编辑框_QQ号码));
    for (Control next : backwards) {
        PressKey(Handle(), GetFocus(), VK_TAB, true);
        EXPECT_EQ(GetFocus(), Of(next)) << "expected " << static_cast<int>(next);
    }
}

TEST_F(MainWindowTest, TabPassesOverADisabledControl) {
    EnableWindow(Of(Control::按钮_搜索), FALSE);
    SetFocus(Of(Control::编辑框_QQ号码));
    PressKey(Handle(), GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), Of(Control::超级列表框1));
}

TEST_F(MainWindowTest, EnterInTheNumberBoxChangesNothing) {
    const HWND number = Of(Control::编辑框_QQ号码);
    SetWindowTextA(number, "12345");
    SetFocus(number);
    EXPECT_EQ(PressKey(Handle(), number, VK_RETURN), 0);
    EXPECT_TRUE(IsWindow(Handle()));
    EXPECT_EQ(GetFocus(), number);
    EXPECT_EQ(TextOf(number), "12345");
    EXPECT_EQ(SendMessageA(Of(Control::超级列表框1), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(TextOf(Of(Control::标签_状态)), "");
    EXPECT_TRUE(IsWindowEnabled(Of(Control::按钮_搜索)));
}

TEST_F(MainWindowTest, FocusComesBackToTheLastControlOnActivation) {
    const HWND clear = Of(Control::按钮_清空号码);
    SetFocus(clear);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    ASSERT_NE(GetActiveWindow(), Handle());
    SetActiveWindow(Handle());
    EXPECT_EQ(GetFocus(), clear);
    DestroyWindow(other);
}

class EscapeTest : public MainWindowTest, public ::testing::WithParamInterface<Control> {};

TEST_P(EscapeTest, EscEndsTheLoopWhereverTheFocusIs) {
    const HWND focus = Of(GetParam());
    SetFocus(focus);
    ASSERT_EQ(GetFocus(), focus);
    EXPECT_EQ(PressKey(Handle(), focus, VK_ESCAPE), 0);
    EXPECT_FALSE(IsWindow(Handle()));
    EXPECT_FALSE(window->Exists());
}

INSTANTIATE_TEST_SUITE_P(FocusOrder, EscapeTest,
                         ::testing::Values(Control::编辑框_QQ号码, Control::按钮_搜索,
                                           Control::超级列表框1, Control::按钮_清空号码,
                                           Control::选择框1));

// How many private requests wait in the queue for the window; they are
// carried out while being counted, as the loop would.
int CarryOutQueuedRequests(HWND window) {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, window, WM_APP, 0xBFFF, PM_REMOVE)) {
        ++count;
        DispatchMessageA(&message);
    }
    return count;
}

TEST_F(MainWindowTest, DestroyMainWindowTwiceDestroysOnce) {
    desktop.DestroyMainWindow();
    desktop.DestroyMainWindow();
    EXPECT_TRUE(window->Exists()) << "only queued";
    EXPECT_EQ(CarryOutQueuedRequests(Handle()), 1);
    EXPECT_FALSE(window->Exists());
    EXPECT_FALSE(IsWindow(Handle()));
    // The window's end posted the quit message.
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    // Once the window is gone a request finds nothing to do.
    desktop.DestroyMainWindow();
    EXPECT_EQ(CarryOutQueuedRequests(nullptr), 0);
}

TEST(MainWindowLifetime, DestroyRequestedBeforeShowingEndsTheLoopAfterShowing) {
    Win32Desktop desktop;
    auto window = MainWindow::Build(GetModuleHandleA(nullptr), desktop);
    ASSERT_TRUE(window);
    desktop.SetMainWindow(window->Handle());
    // As the created event may do it, while the window is still hidden.
    desktop.DestroyMainWindow();
    EXPECT_TRUE(window->Exists());
    window->Show();
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(RunEventLoop(window->Handle()), 0);
    EXPECT_FALSE(window->Exists());
    DrainQueue();
}

} // namespace
} // namespace tavenro::testing
