// Reads Tavenro's main window from another process for the black-box tests:
// waits for it to be shown, then prints what it finds as key=value lines.
// It can also search from outside (number box set, button clicked, the time
// the click took), report the process's resources and fill the clipboard.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Milliseconds from a fixed start (<chrono> will not compile with a GBK
// execution character set).
long long Milliseconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000 / frequency.QuadPart;
}

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

// The controls that a search touches, found by class and place.
struct SearchControls {
    HWND window = nullptr;
    HWND number = nullptr;
    HWND search = nullptr;
    HWND status = nullptr;
    HWND list = nullptr;
};

SearchControls FindSearchControls(int waitSeconds) {
    SearchControls controls;
    controls.window = WaitForMainWindow(waitSeconds);
    if (!controls.window)
        return controls;
    controls.number = ChildAt(controls.window, "Edit", 56, 8);
    controls.search = ChildAt(controls.window, "Button", 186, 8);
    controls.status = ChildAt(controls.window, "Static", 16, 87);
    controls.list = ChildAt(controls.window, "SysListView32", -1, -1);
    return controls;
}

void PrintHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    for (unsigned char c : bytes) {
        std::putchar(digits[c >> 4]);
        std::putchar(digits[c & 15]);
    }
}

// A window's text through WM_GETTEXT, which crosses into the owning
// process (GetWindowText of another process's control does not ask it).
std::string TextOf(HWND control) {
    const LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 2, '\0');
    const LRESULT read =
        SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return text;
}

// One cell of the list in another process, read whole: the buffer grows
// until the text leaves room to spare.
std::string CellText(HANDLE process, HWND list, int row, int column) {
    for (SIZE_T size = 4096; size <= (SIZE_T{1} << 26); size *= 2) {
        RemoteBuffer remote(process, sizeof(LVITEMA) + size);
        if (!remote.Address())
            return {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = remote.Address() + sizeof(LVITEMA);
        item.cchTextMax = static_cast<int>(size);
        SIZE_T moved = 0;
        if (!WriteProcessMemory(process, remote.Address(), &item, sizeof item, &moved))
            return {};
        const LRESULT length =
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.Address()));
        if (length >= 0 && static_cast<SIZE_T>(length) + 2 < size) {
            std::string text(static_cast<std::size_t>(length), '\0');
            if (length > 0)
                ReadProcessMemory(process, remote.Address() + sizeof(LVITEMA), text.data(),
                                  text.size(), &moved);
            return text;
        }
    }
    return {};
}

// Prints the status label, whether a message box is up, and every row of
// the song list: its cells (tab-separated) and its place in the main
// window's client area. The list lives in another process, so the item
// structure and the text buffers are placed there and read back.
int DescribeTable(int waitSeconds) {
    const SearchControls controls = FindSearchControls(waitSeconds);
    if (!controls.window) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    std::printf("status=");
    PrintEscaped(controls.status ? TextOf(controls.status).c_str() : "");
    std::printf("\n");
    HWND box = FindWindowA("#32770", nullptr);
    std::printf("message_box=%d\n", box && IsWindowVisible(box) ? 1 : 0);
    std::printf("search_enabled=%d\n", IsWindowEnabled(controls.search) ? 1 : 0);

    if (!controls.list) {
        std::printf("rows=none\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(controls.list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) {
        std::printf("rows=unreadable\n");
        return 1;
    }
    const int rows = static_cast<int>(SendMessageA(controls.list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("rows=%d\n", rows);
    {
        RemoteBuffer remoteRect(process, sizeof(RECT));
        for (int row = 0; remoteRect.Address() && row < rows; ++row) {
            std::printf("row%d=", row + 1);
            for (int cell = 0; cell < 3; ++cell) {
                if (cell > 0)
                    std::printf("\t");
                PrintEscaped(CellText(process, controls.list, row, cell).c_str());
            }
            std::printf("\n");
            RECT place{};
            place.left = LVIR_BOUNDS;
            SIZE_T moved = 0;
            WriteProcessMemory(process, remoteRect.Address(), &place, sizeof place, &moved);
            SendMessageA(controls.list, LVM_GETITEMRECT, row,
                         reinterpret_cast<LPARAM>(remoteRect.Address()));
            ReadProcessMemory(process, remoteRect.Address(), &place, sizeof place, &moved);
            MapWindowPoints(controls.list, controls.window, reinterpret_cast<POINT*>(&place), 2);
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

// Prints what the search left: the status label, the button, the row count
// and the cells of the rows asked for ("all", or 1-based numbers; a
// negative number counts from the end), cells in hex, byte for byte.
void PrintSearchOutcome(const SearchControls& controls,
                        const std::vector<std::string>& rowsWanted) {
    std::printf("status_hex=");
    PrintHex(TextOf(controls.status));
    std::printf("\nsearch_enabled=%d\n", IsWindowEnabled(controls.search) ? 1 : 0);
    HWND box = FindWindowA("#32770", nullptr);
    std::printf("message_box=%d\n", box && IsWindowVisible(box) ? 1 : 0);
    const int rows = static_cast<int>(SendMessageA(controls.list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("rows=%d\n", rows);
    std::vector<int> wanted;
    for (const std::string& row : rowsWanted) {
        if (row == "all") {
            for (int i = 1; i <= rows; ++i)
                wanted.push_back(i);
        } else {
            const int number = std::atoi(row.c_str());
            wanted.push_back(number < 0 ? rows + 1 + number : number);
        }
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(controls.list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    for (int row : wanted) {
        if (!process || row < 1 || row > rows)
            continue;
        for (int column = 0; column < 3; ++column) {
            std::printf("cell%d.%d=", row, column);
            PrintHex(CellText(process, controls.list, row - 1, column));
            std::printf("\n");
        }
    }
    if (process)
        CloseHandle(process);
}

// Optionally puts a number into the box, clicks the search button from
// outside (BM_CLICK presses and releases it in the program's own thread) and
// waits for the click to be handled: the whole search runs in that handler.
// Prints the time it took and the outcome.
//
//     search NUMBER|- seconds [ROW...]      "-" keeps the box's text
int SearchFromOutside(const char* number, int waitSeconds,
                      const std::vector<std::string>& rowsWanted) {
    const SearchControls controls = FindSearchControls(60);
    if (!controls.window || !controls.number || !controls.search || !controls.list) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    if (std::strcmp(number, "-") != 0)
        SendMessageA(controls.number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number));
    std::printf("number_length=%ld\n",
                static_cast<long>(SendMessageA(controls.number, WM_GETTEXTLENGTH, 0, 0)));
    const long long start = Milliseconds();
    DWORD_PTR ignored = 0;
    const LRESULT answered = SendMessageTimeoutA(controls.search, BM_CLICK, 0, 0, SMTO_NORMAL,
                                                 static_cast<UINT>(waitSeconds) * 1000, &ignored);
    std::printf("answered=%d\nelapsed_ms=%lld\n", answered ? 1 : 0, Milliseconds() - start);
    PrintSearchOutcome(controls, rowsWanted);
    return answered ? 0 : 1;
}

// N searches in a row from outside, cycling through the numbers given;
// prints the total and the slowest search's time.
//
//     searches COUNT NUMBER...
int SearchRepeatedly(int count, const std::vector<std::string>& numbers) {
    const SearchControls controls = FindSearchControls(60);
    if (!controls.window || !controls.number || !controls.search || numbers.empty()) {
        std::printf("found=0\n");
        return 1;
    }
    std::printf("found=1\n");
    long long slowest = 0;
    int unanswered = 0;
    const long long start = Milliseconds();
    for (int i = 0; i < count; ++i) {
        const std::string& number = numbers[static_cast<std::size_t>(i) % numbers.size()];
        SendMessageA(controls.number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number.c_str()));
        const long long one = Milliseconds();
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(controls.search, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &ignored))
            ++unanswered;
        const long long took = Milliseconds() - one;
        slowest = took > slowest ? took : slowest;
    }
    const long long total = Milliseconds() - start;
    std::printf("searches=%d\nunanswered=%d\ntotal_ms=%lld\nslowest_ms=%lld\n", count, unanswered,
                total, slowest);
    PrintSearchOutcome(controls, {});
    return unanswered == 0 ? 0 : 1;
}

// One entry of the system's extended handle list (SystemExtendedHandleInformation).
struct SystemHandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};

struct SystemHandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    SystemHandleEntry entries[1];
};

// The number of handles that the process holds by the system's handle list,
// or -1 when the system will not give the list.
long HandlesInSystemList(DWORD processId) {
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kExtendedHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch && buffer.size() < (std::size_t{1} << 28)) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0)
            return -1;
        break;
    }
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
        count += list->entries[i].processId == processId ? 1 : 0;
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// The resources held by the process that owns the main window: kernel
// handles, GDI and USER objects, memory, and its windows counted one by one
// (a USER figure that does not depend on GetGuiResources). A figure the
// system will not give is printed as -1.
int DescribeResources(int waitSeconds) {
    HWND window = WaitForMainWindow(waitSeconds);
    if (!window) {
        std::printf("found=0\n");
        return 1;
    }
    DWORD processId = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        std::printf("found=1\nopened=0\n");
        return 1;
    }
    std::printf("found=1\nopened=1\npid=%lu\n", processId);
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles > 0) {
        std::printf("handles=%lu\nhandles_from=process\n", handles);
    } else {
        // A live process always holds handles: a zero means the count is
        // not kept (Wine), so count the process's entries in the system's
        // handle list instead.
        std::printf("handles=%ld\nhandles_from=system_list\n", HandlesInSystemList(processId));
    }
    for (const auto& [key, kind] :
         {std::pair{"gdi_objects", GR_GDIOBJECTS}, std::pair{"user_objects", GR_USEROBJECTS}}) {
        SetLastError(ERROR_SUCCESS);
        const DWORD objects = GetGuiResources(process, kind);
        std::printf("%s=%ld\n", key,
                    objects == 0 && GetLastError() != ERROR_SUCCESS ? -1L
                                                                    : static_cast<long>(objects));
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                sizeof memory)) {
        // Wine leaves PrivateUsage at 0 and gives the private resident
        // memory as the page-file figure.
        const bool own = memory.PrivateUsage > 0;
        std::printf(
            "private_bytes=%llu\nprivate_from=%s\nworking_set=%llu\npagefile=%llu\n",
            static_cast<unsigned long long>(own ? memory.PrivateUsage : memory.PagefileUsage),
            own ? "private_usage" : "pagefile_usage",
            static_cast<unsigned long long>(memory.WorkingSetSize),
            static_cast<unsigned long long>(memory.PagefileUsage));
    } else {
        std::printf("private_bytes=-1\nworking_set=-1\npagefile=-1\n");
    }
    int windows = 0;
    EnumThreadWindows(thread, CountWindow, reinterpret_cast<LPARAM>(&windows));
    std::printf("windows=%d\n", windows);
    CloseHandle(process);
    return 0;
}

// Puts the bytes read from standard input on the clipboard as CF_TEXT, for
// a paste into the program (no command line holds 32,767 characters).
int PutClipboardFromInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string text;
    char chunk[65536];
    while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, stdin))
        text.append(chunk, read);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block)
        return 1;
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        std::printf("clipboard=unopened\n");
        return 1;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(block);
    std::printf("clipboard_bytes=%zu\nset=%d\n", text.size(), set ? 1 : 0);
    return set ? 0 : 1;
}

} // namespace

// window_probe window|message-box|table|clipboard [seconds]
// window_probe search NUMBER|- seconds [ROW...]
// window_probe searches COUNT NUMBER...
// window_probe resources [seconds]
// window_probe put-clipboard < text
int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "window";
    if (std::strcmp(mode, "search") == 0 && argc > 3) {
        const int code = SearchFromOutside(argv[2], std::atoi(argv[3]),
                                           std::vector<std::string>(argv + 4, argv + argc));
        std::fflush(stdout);
        return code;
    }
    if (std::strcmp(mode, "searches") == 0 && argc > 3) {
        const int code =
            SearchRepeatedly(std::atoi(argv[2]), std::vector<std::string>(argv + 3, argv + argc));
        std::fflush(stdout);
        return code;
    }
    if (std::strcmp(mode, "put-clipboard") == 0) {
        const int code = PutClipboardFromInput();
        std::fflush(stdout);
        return code;
    }
    const int waitSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    int code;
    if (std::strcmp(mode, "message-box") == 0)
        code = AnswerMessageBox(waitSeconds);
    else if (std::strcmp(mode, "clipboard") == 0)
        code = DescribeClipboard();
    else if (std::strcmp(mode, "table") == 0)
        code = DescribeTable(waitSeconds);
    else if (std::strcmp(mode, "resources") == 0)
        code = DescribeResources(waitSeconds);
    else
        code = DescribeWindow(waitSeconds);
    std::fflush(stdout);
    return code;
}
