// The six table operations against the real list view of the main window.
#include "tests/app/window_fixture.h"

#include <commctrl.h>

#include <string>

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

} // namespace
} // namespace tavenro::testing
