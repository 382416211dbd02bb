// The six table operations against the real list view of the main window.
#include "songs/result_list_win32.h"
#include "tests/app/window_fixture.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace tavenro::testing {
namespace {

class ResultListTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        list = Of(Control::超级列表框1);
    }

    ResultList& Songs() { return window->Songs(); }

    void Select(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    HWND list = nullptr;
};

TEST_F(ResultListTest, AppendedRowsGetTheNextIndexAndKeepTheirOrder) {
    EXPECT_EQ(Songs().InsertItem(std::nullopt, "10"), 0);
    EXPECT_EQ(Songs().InsertItem(std::nullopt, "2"), 1);
    EXPECT_EQ(Songs().InsertItem(-5, "1"), 2) << "a negative position appends";
    EXPECT_EQ(Songs().ItemCount(), 3);
    EXPECT_EQ(Songs().GetItemText(0), "10");
    EXPECT_EQ(Songs().GetItemText(1), "2");
    EXPECT_EQ(Songs().GetItemText(2), "1");

    EXPECT_EQ(Songs().InsertItem(0, "first"), 0);
    EXPECT_EQ(Songs().GetItemText(0), "first");
    EXPECT_EQ(Songs().GetItemText(1), "10");
    EXPECT_EQ(Songs().InsertItem(std::nullopt, ""), 4);
    EXPECT_EQ(Songs().GetItemText(4), "");
}

TEST_F(ResultListTest, CellsReadBackWhole) {
    const int row = Songs().InsertItem(std::nullopt, "1");
    Songs().SetItemText(row, 1, "歌曲名");
    // Past the first 512-byte read, in single bytes and in double-byte
    // characters, one of which straddles the end of the first buffer.
    const std::string cases[] = {
        std::string(600, 'a'),
        [] {
            std::string s;
            for (int i = 0; i < 300; ++i)
                s += "歌";
            return s;
        }(),
        "x" + std::string(510, 'b') + "曲" + std::string(100, 'c'),
        std::string(5000, 'z'),
        std::string(511, 'q'),
        std::string(510, 'q'),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.size());
        Songs().SetItemText(row, 2, text);
        EXPECT_EQ(Songs().GetItemText(row, 2), text);
    }
    EXPECT_EQ(Songs().GetItemText(row, 1), "歌曲名");
    EXPECT_EQ(Songs().GetItemText(row), "1") << "column left out reads the caption";
}

TEST_F(ResultListTest, UnsetCellsAndMissingRowsReadEmpty) {
    const int row = Songs().InsertItem(std::nullopt, "1");
    EXPECT_EQ(Songs().GetItemText(row, 1), "");
    EXPECT_EQ(Songs().GetItemText(row, 2), "");
    EXPECT_EQ(Songs().GetItemText(1, 0), "");
    EXPECT_EQ(Songs().GetItemText(-1, 0), "");
}

TEST_F(ResultListTest, SettingACellOfAMissingRowChangesNothing) {
    const int row = Songs().InsertItem(std::nullopt, "1");
    Songs().SetItemText(row, 2, "kept");
    for (int missing : {1, 7, -1}) {
        SCOPED_TRACE(missing);
        Songs().SetItemText(missing, 2, "new");
        EXPECT_EQ(Songs().ItemCount(), 1);
        EXPECT_EQ(Songs().GetItemText(row, 2), "kept");
        EXPECT_EQ(Songs().GetItemText(row, 0), "1");
    }
}

TEST_F(ResultListTest, SelectedItemIsMinusOneWithoutASelection) {
    EXPECT_EQ(Songs().SelectedItem(), -1) << "empty list";
    for (const char* caption : {"1", "2", "3"})
        Songs().InsertItem(std::nullopt, caption);
    EXPECT_EQ(Songs().SelectedItem(), -1) << "rows, none selected";
    Select(2);
    EXPECT_EQ(Songs().SelectedItem(), 2);
    Select(1);
    EXPECT_EQ(Songs().SelectedItem(), 1) << "single selection";
    Songs().DeleteAllItems();
    EXPECT_EQ(Songs().ItemCount(), 0);
    EXPECT_EQ(Songs().SelectedItem(), -1) << "after DeleteAllItems";
    EXPECT_EQ(Songs().InsertItem(std::nullopt, "again"), 0);
}

TEST_F(ResultListTest, AClickOnAColumnHeaderLeavesTheRowsInOrder) {
    for (const char* caption : {"10", "2", "1"})
        Songs().InsertItem(std::nullopt, caption);
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    const LPARAM point = MAKELPARAM(20, 8);
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(header, WM_LBUTTONUP, 0, point);
    RunQueued(Handle());
    EXPECT_EQ(Songs().GetItemText(0), "10");
    EXPECT_EQ(Songs().GetItemText(1), "2");
    EXPECT_EQ(Songs().GetItemText(2), "1");
}

// Pixels of the list's client area that are not the background's colour.
int InkedPixels(HWND list) {
    RECT area;
    GetClientRect(list, &area);
    const HDC dc = GetDC(list);
    const COLORREF background = GetPixel(dc, area.right - 2, area.bottom - 2);
    int inked = 0;
    for (int y = 0; y < area.bottom; y += 2)
        for (int x = 0; x < area.right; x += 2)
            inked += GetPixel(dc, x, y) != background;
    ReleaseDC(list, dc);
    return inked;
}

TEST_F(ResultListTest, RowsFilledWhileDrawingIsHeldBackAreDrawnOnceItEnds) {
    UpdateWindow(list);
    const int emptyInk = InkedPixels(list); // the header and grid lines
    {
        const DrawingHeldBack heldBack(list);
        for (int i = 1; i <= 40; ++i) {
            const int row = Songs().InsertItem(std::nullopt, std::to_string(i));
            Songs().SetItemText(row, 1, "歌曲名称歌曲名称");
            Songs().SetItemText(row, 2, "http://music.example/a.mp3");
        }
        UpdateWindow(list);
        EXPECT_EQ(InkedPixels(list), emptyInk) << "drawn while held back";
    }
    EXPECT_TRUE(IsWindowVisible(list));
    RunQueued(Handle());
    UpdateWindow(list);
    EXPECT_GT(InkedPixels(list), emptyInk + 200) << "the rows never reached the screen";
    EXPECT_EQ(Songs().ItemCount(), 40);
}

TEST_F(ResultListTest, AHiddenListStaysHiddenAfterItsDrawingWasHeldBack) {
    ShowWindow(list, SW_HIDE);
    { const DrawingHeldBack heldBack(list); }
    EXPECT_FALSE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VISIBLE);
}

} // namespace
} // namespace tavenro::testing
