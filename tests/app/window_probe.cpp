// Reads Tavenro's main window from another process for the black-box test:
// waits for it to be shown, then prints what it finds as key=value lines.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A control as "class@x,y,width,height" in its parent's client area.
void PrintControl(const char* key, HWND control) {
    if (!control) {
        std::printf("%s=none\n", key);
        return;
    }
    char name[64]{};
    GetClassNameA(control, name, sizeof name);
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    std::printf("%s=%s@%ld,%ld,%ld,%ld\n", key, name, box.left, box.top, box.right - box.left,
                box.bottom - box.top);
}

void PrintRect(const char* key, RECT box) {
    std::printf("%s=%ld,%ld,%ld,%ld\n", key, box.left, box.top, box.right, box.bottom);
}

// Waits for Tavenro's main window to be shown and describes it.
int DescribeWindow(int waitSeconds) {
    HWND window = nullptr;
    for (int tries = 0; tries < waitSeconds * 10; ++tries) {
        window = FindWindowA("TavenroMainWindow", nullptr);
        if (window && IsWindowVisible(window))
            break;
        window = nullptr;
        Sleep(100);
    }
    if (!window) {
        std::printf("found=0\n");
        return 1;
    }
    // Let the window settle (activation hands the focus to its control).
    Sleep(500);

    std::printf("found=1\n");
    char title[256]{};
    GetWindowTextA(window, title, sizeof title);
    std::printf("title=%s\n", title);
    RECT frame;
    GetWindowRect(window, &frame);
    PrintRect("frame", frame);
    std::printf("screen=%d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (GetGUIThreadInfo(thread, &gui)) {
        std::printf("active_is_main=%d\n", gui.hwndActive == window ? 1 : 0);
        PrintControl("focus", gui.hwndFocus);
        PrintControl("caret", gui.hwndCaret);
    }
    int children = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children += IsWindowVisible(child) ? 1 : 0;
    std::printf("visible_controls=%d\n", children);
    return 0;
}

// The main window once it is shown, or null after waitSeconds.
HWND WaitForMainWindow(int waitSeconds) {
    for (int tries = 0; tries < waitSeconds * 10; ++tries) {
        HWND window = FindWindowA("TavenroMainWindow", nullptr);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(100);
    }
    return nullptr;
}

// The child of `window` of class `name` whose top-left corner sits at x,y of
// the client area (any position when x is negative).
HWND ChildAt(HWND window, const char* name, int x, int y) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char found[64]{};
        GetClassNameA(child, found, sizeof found);
        if (std::strcmp(found, name) != 0)
            continue;
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        if (x < 0 || (box.left == x && box.top == y))
            return child;
    }
    return nullptr;
}

// Memory inside another process, released when done.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* Address() const { return static_cast<char*>(address_); }

  private:
    HANDLE process_;
    void* address_;
};

// Keeps cells and texts on one line each: CR, LF, tab and backslash escaped.
// A double-byte character passes whole: its second byte may be a backslash.
void PrintEscaped(const char* text) {
    for (const char* c = text; *c; ++c) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1]) {
            std::putchar(*c++);
            std::putchar(*c);
            continue;
        }
        switch (*c) {
        case '\\':
            std::fputs("\\\\", stdout);
            break;
        case '\r':
            std::fputs("\\r", stdout);
            break;
        case '\n':
            std::fputs("\\n", stdout);
            break;
        case '\t':
            std::fputs("\\t", stdout);
            break;
        default:
            std::putchar(*c);
        }
    }
}

// Prints the status label, whether a message box is up, and every row of
// the song list: its cells (tab-separated) and its place in the main
// window's client area. The list lives in another process, so the item
// structure and the text buffers are placed there and read back.
int DescribeTable(int waitSeconds) {
    HWND window = WaitForMainWindow(waitSeconds);
    if (!window) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    char status[256]{};
    if (HWND label = ChildAt(window, "Static", 16, 87))
        GetWindowTextA(label, status, sizeof status);
    std::printf("status=");
    PrintEscaped(status);
    std::printf("\n");
    HWND box = FindWindowA("#32770", nullptr);
    std::printf("message_box=%d\n", box && IsWindowVisible(box) ? 1 : 0);
    std::printf("search_enabled=%d\n", IsWindowEnabled(ChildAt(window, "Button", 186, 8)) ? 1 : 0);

    HWND list = ChildAt(window, "SysListView32", -1, -1);
    if (!list) {
        std::printf("rows=none\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) {
        std::printf("rows=unreadable\n");
        return 1;
    }
    constexpr int kTextSize = 2048;
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("rows=%d\n", rows);
    {
        RemoteBuffer remote(process, sizeof(LVITEMA) + sizeof(RECT) + kTextSize);
        char* remoteItem = remote.Address();
        char* remoteRect = remoteItem + sizeof(LVITEMA);
        char* remoteText = remoteRect + sizeof(RECT);
        for (int row = 0; remoteItem && row < rows; ++row) {
            std::printf("row%d=", row + 1);
            for (int cell = 0; cell < 3; ++cell) {
                LVITEMA item{};
                item.iSubItem = cell;
                item.pszText = remoteText;
                item.cchTextMax = kTextSize;
                char text[kTextSize]{};
                SIZE_T moved = 0;
                if (WriteProcessMemory(process, remoteItem, &item, sizeof item, &moved)) {
                    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remoteItem));
                    ReadProcessMemory(process, remoteText, text, kTextSize - 1, &moved);
                }
                if (cell > 0)
                    std::printf("\t");
                PrintEscaped(text);
            }
            std::printf("\n");
            RECT place{};
            place.left = LVIR_BOUNDS;
            SIZE_T moved = 0;
            WriteProcessMemory(process, remoteRect, &place, sizeof place, &moved);
            SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remoteRect));
            ReadProcessMemory(process, remoteRect, &place, sizeof place, &moved);
            MapWindowPoints(list, window, reinterpret_cast<POINT*>(&place), 2);
            std::printf("place%d=%ld,%ld,%ld,%ld\n", row + 1, place.left, place.top, place.right,
                        place.bottom);
        }
    }
    CloseHandle(process);
    return 0;
}

// Prints the text on the Windows clipboard (CF_TEXT).
int DescribeClipboard() {
    if (!OpenClipboard(nullptr)) {
        std::printf("clipboard=unreadable\n");
        return 1;
    }
    std::printf("clipboard=");
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            PrintEscaped(text);
            GlobalUnlock(data);
        }
    }
    std::printf("\n");
    CloseClipboard();
    return 0;
}

// Waits for a message box, describes it and presses its OK button.
int AnswerMessageBox(int waitSeconds) {
    HWND box = nullptr;
    for (int tries = 0; tries < waitSeconds * 10 && !box; ++tries) {
        box = FindWindowA("#32770", nullptr);
        if (box && !IsWindowVisible(box))
            box = nullptr;
        if (!box)
            Sleep(100);
    }
    if (!box) {
        std::printf("found=0\n");
        return 1;
    }
    char text[1024]{};
    GetWindowTextA(box, text, sizeof text);
    std::printf("found=1\ncaption=%s\n", text);
    text[0] = 0;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("text=");
    PrintEscaped(text);
    std::printf("\n");
    std::printf("main_visible=%d\n", IsWindowVisible(FindWindowA("TavenroMainWindow", nullptr)));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

} // namespace

// window_probe window|message-box|table|clipboard [seconds]
int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "window";
    const int waitSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    int code;
    if (std::strcmp(mode, "message-box") == 0)
        code = AnswerMessageBox(waitSeconds);
    else if (std::strcmp(mode, "clipboard") == 0)
        code = DescribeClipboard();
    else if (std::strcmp(mode, "table") == 0)
        code = DescribeTable(waitSeconds);
    else
        code = DescribeWindow(waitSeconds);
    std::fflush(stdout);
    return code;
}
