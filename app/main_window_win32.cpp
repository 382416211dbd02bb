#include "app/main_window_win32.h"

#include "app/actions.h"
#include "app/badge_win32.h"
#include "app/resource_ids.h"
#include "songs/result_list_win32.h"
#include "songs/search_songs.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace tavenro {

struct MainWindowState {
    explicit MainWindowState(Desktop& serving) : desktop(serving) {}

    [[nodiscard]] HWND Of(Control control) const { return controls[static_cast<int>(control)]; }

    Desktop& desktop;
    HWND handle = nullptr; // kept after the window is gone
    bool exists = false;
    std::array<HWND, kControlCount> controls{};
    std::optional<ListViewResultList> songs;
    BadgePicture badge;
    HWND lastFocus = nullptr; // the control that had the focus at deactivation
    bool destructionPending = false;
};

namespace {

constexpr char kClassName[] = "TavenroMainWindow";
// The private request by which a queued DestroyMainWindow is carried out.
constexpr UINT kDestroyRequest = WM_APP + 1;
constexpr UINT_PTR kLinkSubclass = 1;

MainWindowState* StateOf(HWND window) {
    return reinterpret_cast<MainWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

Text WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    Text text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(std::max(GetWindowTextA(window, text.data(), length + 1), 0)));
    return text;
}

bool TakesFocus(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

void RestoreFocus(const MainWindowState& state) {
    const bool lastStillFits =
        state.lastFocus && IsWindow(state.lastFocus) && TakesFocus(state.lastFocus);
    SetFocus(lastStillFits ? state.lastFocus : state.Of(Control::编辑框_QQ号码));
}

// Where the focus sits in the focus order (a control's own child counts as
// the control), or -1.
int FocusPosition(const MainWindowState& state, HWND focus) {
    for (int i = 0; i < static_cast<int>(kFocusOrder.size()); ++i) {
        const HWND control = state.Of(kFocusOrder[i]);
        if (focus && (focus == control || IsChild(control, focus)))
            return i;
    }
    return -1;
}

void MoveFocus(const MainWindowState& state, bool backwards) {
    const int count = static_cast<int>(kFocusOrder.size());
    const int at = FocusPosition(state, GetFocus());
    for (int step = 1; step <= count; ++step) {
        const int next = at < 0 ? (backwards ? count - step : step - 1)
                                : ((at + (backwards ? -step : step)) % count + count) % count;
        const HWND control = state.Of(kFocusOrder[next]);
        if (!TakesFocus(control))
            continue;
        SetFocus(control);
        // As in dialogs, an edit box reached by Tab has its text selected.
        if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageA(control, EM_SETSEL, 0, -1);
        return;
    }
}

void OnSearchClicked(MainWindowState& state) {
    const HWND button = state.Of(Control::按钮_搜索);
    const HWND focused = GetFocus();
    EnableWindow(button, FALSE);
    const Text number = WindowText(state.Of(Control::编辑框_QQ号码));
    {
        const DrawingHeldBack heldBack(state.Of(Control::超级列表框1));
        SearchSongs(number, *state.songs, [&state](std::string_view caption) {
            SetWindowTextA(state.Of(Control::标签_状态), Text(caption).c_str());
        });
    }
    EnableWindow(button, TRUE);
    // Disabling the focused button left the window without a focus, and with
    // it the keyboard (Tab, Esc) dead until a click: give the focus back.
    if (GetFocus() == nullptr && focused != nullptr)
        SetFocus(focused);
}

LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                          DWORD_PTR data) {
    auto& state = *reinterpret_cast<MainWindowState*>(data);
    switch (message) {
    // The page opens as the button goes down; the second press of a
    // double-click is a press too.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (control == state.Of(Control::标签3))
            OpenMakerSite(state.desktop);
        else
            OpenGroupInvite(state.desktop);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, LinkProc, kLinkSubclass);
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

BOOL OnNcCreate(HWND window, LPCREATESTRUCTA create) {
    auto* state = static_cast<MainWindowState*>(create->lpCreateParams);
    state->handle = window;
    state->exists = true;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return FORWARD_WM_NCCREATE(window, create, DefWindowProcA);
}

void OnActivate(HWND window, UINT activation, HWND /*other*/, BOOL minimized) {
    MainWindowState& state = *StateOf(window);
    if (activation == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus))
            state.lastFocus = focus;
    } else if (!minimized) {
        RestoreFocus(state);
    }
}

void OnSetFocus(HWND window, HWND /*previous*/) {
    RestoreFocus(*StateOf(window));
}

void OnCommand(HWND window, int id, HWND /*control*/, UINT code) {
    MainWindowState& state = *StateOf(window);
    if (code != BN_CLICKED)
        return;
    if (id == ControlId(Control::按钮_搜索))
        OnSearchClicked(state);
    else if (id == ControlId(Control::按钮_清空号码))
        SetWindowTextA(state.Of(Control::编辑框_QQ号码), "");
}

LRESULT OnNotify(HWND window, int id, NMHDR* header) {
    MainWindowState& state = *StateOf(window);
    if (id == ControlId(Control::超级列表框1) && header->code == NM_DBLCLK && state.songs)
        CopySelectedAddress(state.desktop, *state.songs,
                            Button_GetCheck(state.Of(Control::选择框1)) == BST_CHECKED);
    return 0;
}

HBRUSH OnCtlColorStatic(HWND window, HDC dc, HWND control, int /*type*/) {
    const MainWindowState& state = *StateOf(window);
    for (const ControlEntry& entry : MainWindowLayout()) {
        if (state.Of(entry.name) != control)
            continue;
        // The text in the control's colour; the background is the window's.
        SetTextColor(dc, entry.textColour);
        SetBkMode(dc, TRANSPARENT);
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return FORWARD_WM_CTLCOLORSTATIC(window, dc, control, DefWindowProcA);
}

void OnDrawItem(HWND window, const DRAWITEMSTRUCT* item) {
    const MainWindowState& state = *StateOf(window);
    if (item->hwndItem != state.Of(Control::图片框1))
        return;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    state.badge.Draw(item->hDC, item->rcItem.left, item->rcItem.top);
}

BOOL OnSetCursor(HWND window, HWND under, UINT hitTest, UINT message) {
    if (under == StateOf(window)->Of(Control::图片框1) && hitTest == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */));
        return TRUE;
    }
    return FORWARD_WM_SETCURSOR(window, under, hitTest, message, DefWindowProcA);
}

void OnDestroyRequest(HWND window) {
    MainWindowState& state = *StateOf(window);
    if (!std::exchange(state.destructionPending, false))
        return;
    DestroyWindow(window);
}

// The only window of the program: its end ends the event loop.
void OnDestroy(HWND /*window*/) {
    PostQuitMessage(0);
}

void OnNcDestroy(HWND window) {
    StateOf(window)->exists = false;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    FORWARD_WM_NCDESTROY(window, DefWindowProcA);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCCREATE && !StateOf(window))
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        HANDLE_MSG(window, WM_NCCREATE, OnNcCreate);
        HANDLE_MSG(window, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(window, WM_SETFOCUS, OnSetFocus);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_NOTIFY, OnNotify);
        HANDLE_MSG(window, WM_CTLCOLORSTATIC, OnCtlColorStatic);
        HANDLE_MSG(window, WM_DRAWITEM, OnDrawItem);
        HANDLE_MSG(window, WM_SETCURSOR, OnSetCursor);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        HANDLE_MSG(window, WM_NCDESTROY, OnNcDestroy);
    case kDestroyRequest:
        return OnDestroyRequest(window), 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TAVENRO),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TAVENRO),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

std::unique_ptr<MainWindow> MainWindow::Build(HINSTANCE instance, Desktop& desktop) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    if (!RegisterMainWindowClass(instance))
        return nullptr;

    auto state = std::make_unique<MainWindowState>(desktop);
    state->badge = BadgePicture::Load(instance, IDR_GROUP_BADGE, GetSysColor(COLOR_BTNFACE));
    // Centred once, here; integer division as the layout gives it.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
    if (!CreateWindowExA(kMainWindowExStyle, kClassName, kMainWindowTitle, kMainWindowStyle, left,
                         top, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance,
                         state.get()))
        return nullptr;

    auto window = std::make_unique<MainWindow>(Token{}, std::move(state));
    MainWindowState& built = *window->state_;
    if (!CreateControls(built.handle, instance, built.controls))
        return nullptr;
    built.songs.emplace(built.Of(Control::超级列表框1));
    for (Control link : {Control::标签3, Control::图片框1})
        SetWindowSubclass(built.Of(link), LinkProc, kLinkSubclass,
                          reinterpret_cast<DWORD_PTR>(&built));
    return window;
}

MainWindow::MainWindow(Token, std::unique_ptr<MainWindowState> state) : state_(std::move(state)) {}

MainWindow::~MainWindow() {
    if (state_->exists)
        DestroyWindow(state_->handle);
}

HWND MainWindow::Handle() const {
    return state_->handle;
}

bool MainWindow::Exists() const {
    return state_->exists;
}

HWND MainWindow::ControlHandle(Control control) const {
    return state_->Of(control);
}

ResultList& MainWindow::Songs() {
    return *state_->songs;
}

void MainWindow::Show() {
    ShowWindow(state_->handle, SW_SHOWNORMAL);
    UpdateWindow(state_->handle);
}

void QueueMainWindowDestruction(HWND window) {
    MainWindowState* state = StateOf(window);
    if (!state || state->destructionPending)
        return;
    state->destructionPending = true;
    PostMessageA(window, kDestroyRequest, 0, 0);
}

bool HandleWindowKey(HWND window, const MSG& message) {
    if (message.message != WM_KEYDOWN || !message.hwnd)
        return false;
    if (message.hwnd != window && !IsChild(window, message.hwnd))
        return false;
    const MainWindowState* state = StateOf(window);
    if (!state)
        return false;
    switch (message.wParam) {
    case VK_TAB:
        MoveFocus(*state, GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_ESCAPE:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case VK_RETURN:
        // No default button: Enter neither searches nor moves the focus.
        return true;
    default:
        return false;
    }
}

int RunEventLoop(HWND window) {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (HandleWindowKey(window, message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace tavenro
