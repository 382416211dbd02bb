// Filling the result list with 5,000 songs in the program's own window,
// shown on screen: through the six list operations the search uses (the
// list-view binding) against the bare list-view messages doing the same,
// each with drawing held back for the fill (DrawingHeldBack, as the search
// button does) and as it goes.
// Times itself with QueryPerformanceCounter (Google Benchmark has no build
// for the cross compiler here): the kinds of fill take turns, each figure is
// the median of its rounds, and the ratios are printed as a Markdown table.
//
//   list_fill_win32 [ROUNDS [DRAWING_ROUNDS [SONGS]]]
//
// ROUNDS (default 9) of the fills with drawing suspended, DRAWING_ROUNDS
// (default 1; 0 leaves them out) of those that draw as they go, which under
// Wine take about 20 ms a row once the list scrolls. "Fill" ends when the last row has its
// texts; "drawn" when the window has also painted what changed, which is
// what the user waits for. The list's pixels after each kind of fill are
// compared: suspending the drawing must not change what the user sees.
#include "app/desktop_win32.h"
#include "app/main_window_win32.h"
#include "songs/result_list.h"
#include "songs/result_list_win32.h"
#include "text/bytes.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tavenro {
namespace {

int kSongs = 5000;

struct Song {
    Text name;
    Text address;
};

// The demo service's generated songs.
std::vector<Song> Songs() {
    std::vector<Song> songs;
    for (int i = 1; i <= kSongs; ++i)
        songs.push_back({"测试歌曲" + std::to_string(i),
                         "http://music.tavenro-demo.example/load/" + std::to_string(i) + ".mp3"});
    return songs;
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// Dispatches what is waiting, paint messages included, until nothing is.
void Settle(HWND window) {
    UpdateWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The search's loop over the table interface (songs/search_songs.cpp).
void FillThroughOperations(ResultList& list, const std::vector<Song>& songs) {
    list.DeleteAllItems();
    int i = 0;
    for (const Song& song : songs) {
        const int row = list.InsertItem(std::nullopt, ToText(++i));
        list.SetItemText(row, 1, song.name);
        list.SetItemText(row, 2, song.address);
    }
    if (list.ItemCount() != kSongs)
        std::fprintf(stderr, "list_fill_win32: the list holds %d rows\n", list.ItemCount());
}

// What a programmer would write against the control directly.
void FillThroughMessages(HWND list, const std::vector<Song>& songs,
                         const std::vector<Text>& captions) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < kSongs; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(captions[static_cast<std::size_t>(i)].c_str());
        const auto row = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMA cell{};
        cell.iSubItem = 1;
        cell.pszText = const_cast<char*>(songs[static_cast<std::size_t>(i)].name.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&cell));
        cell.iSubItem = 2;
        cell.pszText = const_cast<char*>(songs[static_cast<std::size_t>(i)].address.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&cell));
    }
    SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

// The list's pixels as they are on screen.
std::vector<unsigned char> Pixels(HWND list) {
    RECT area;
    GetClientRect(list, &area);
    const int width = area.right, height = area.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(list);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> pixels(static_cast<const unsigned char*>(bits),
                                      static_cast<const unsigned char*>(bits) + width * height * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list, screen);
    return pixels;
}

struct Mode {
    const char* name;
    bool operations; // through the binding, else bare messages
    bool suspended;  // drawing suspended for the fill
    std::vector<double> fill, drawn;
    std::vector<unsigned char> pixels;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Row(const char* figure, double ours, const char* baseline, double base, const char* target) {
    // Two decimals, or three significant digits for a ratio far below 1.
    std::printf(ours / base >= 0.1 ? "| %s | %.1f ms | %s | %.1f ms | **%.2f** | %s |\n"
                                   : "| %s | %.1f ms | %s | %.1f ms | **%.3g** | %s |\n",
                figure, ours * 1e3, baseline, base * 1e3, ours / base, target);
}

} // namespace
} // namespace tavenro

int main(int argc, char** argv) {
    using namespace tavenro;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int drawingRounds = argc > 2 ? std::max(0, std::atoi(argv[2])) : 1;
    if (argc > 3)
        kSongs = std::max(1, std::atoi(argv[3]));

    Win32Desktop desktop;
    const std::unique_ptr<MainWindow> window =
        MainWindow::Build(GetModuleHandleA(nullptr), desktop);
    if (!window) {
        std::fprintf(stderr, "list_fill_win32: no window\n");
        return 1;
    }
    desktop.SetMainWindow(window->Handle());
    window->Show();
    Settle(window->Handle());
    const HWND list = window->ControlHandle(Control::超级列表框1);
    ResultList& operations = window->Songs();

    const std::vector<Song> songs = Songs();
    std::vector<Text> captions;
    for (int i = 1; i <= kSongs; ++i)
        captions.push_back(ToText(i));

    enum { kOperations, kMessages, kOperationsDrawing, kMessagesDrawing };
    std::vector<Mode> modes = {{"operations, drawing suspended", true, true, {}, {}, {}},
                               {"messages, drawing suspended", false, true, {}, {}, {}},
                               {"operations, drawing as they go", true, false, {}, {}, {}},
                               {"messages, drawing as they go", false, false, {}, {}, {}}};
    const auto run = [&](Mode& mode, bool measured) {
        const double start = Now();
        {
            std::optional<DrawingHeldBack> heldBack;
            if (mode.suspended)
                heldBack.emplace(list);
            if (mode.operations)
                FillThroughOperations(operations, songs);
            else
                FillThroughMessages(list, songs, captions);
        }
        const double filled = Now();
        Settle(window->Handle());
        const double drawn = Now();
        if (!measured)
            return;
        std::fprintf(stderr, "%s: fill %.3f s, drawn %.3f s\n", mode.name, filled - start,
                     drawn - start);
        mode.fill.push_back(filled - start);
        mode.drawn.push_back(drawn - start);
        mode.pixels = Pixels(list);
    };
    // Unmeasured turns first, so that every measured fill replaces a full list.
    run(modes[kOperations], false);
    run(modes[kMessages], false);
    for (int round = 0; round < rounds; ++round) {
        run(modes[round % 2 == 0 ? kOperations : kMessages], true);
        run(modes[round % 2 == 0 ? kMessages : kOperations], true);
    }
    for (int round = 0; round < drawingRounds; ++round) {
        run(modes[round % 2 == 0 ? kOperationsDrawing : kMessagesDrawing], true);
        run(modes[round % 2 == 0 ? kMessagesDrawing : kOperationsDrawing], true);
    }
    const bool sameRows = operations.ItemCount() == kSongs &&
                          operations.GetItemText(kSongs - 1, 2) == songs.back().address &&
                          operations.GetItemText(0, 1) == songs.front().name;
    bool samePixels = !modes[0].pixels.empty();
    for (const Mode& mode : modes)
        samePixels = samePixels && (mode.drawn.empty() || mode.pixels == modes[0].pixels);

    const Mode& ops = modes[kOperations];
    const Mode& bare = modes[kMessages];
    const Mode& opsDrawing = modes[kOperationsDrawing];
    const Mode& bareDrawing = modes[kMessagesDrawing];
    std::printf("\n### Filling the list with %d songs (the 64-bit Windows build under Wine; "
                "wall-clock medians of %d rounds, %d with drawing as it goes)\n\n",
                kSongs, rounds, drawingRounds);
    std::printf("| Figure | Tavenro | Baseline | Baseline time | Ratio | Target |\n");
    std::printf("|---|---:|---|---:|---:|---|\n");
    Row("Fill through the six list operations, drawing suspended, until drawn", Median(ops.drawn),
        "bare list-view messages, drawing suspended", Median(bare.drawn), "report");
    Row("The same, until the last row is filled", Median(ops.fill),
        "bare list-view messages, drawing suspended", Median(bare.fill), "report");
    if (drawingRounds > 0) {
        Row("Fill through the six list operations, drawing as they go, until drawn",
            Median(opsDrawing.drawn), "bare list-view messages, drawing as they go",
            Median(bareDrawing.drawn), "report");
        Row("Six list operations: drawing suspended, until drawn", Median(ops.drawn),
            "the same drawing as they go", Median(opsDrawing.drawn), "report");
    }
    std::printf("\n- Rows read back: %s. The list's pixels after every kind of fill are %s.\n",
                sameRows ? "as filled" : "NOT as filled",
                samePixels ? "identical" : "NOT identical");
    std::fflush(stdout);
    return sameRows && samePixels ? 0 : 1;
}
