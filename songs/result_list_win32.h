// The result table as the Windows list-view control holds it, through the
// control's ANSI messages.
#pragma once

#include "songs/result_list.h"

#include <windows.h>

namespace tavenro {

class ListViewResultList final : public ResultList {
  public:
    // The list view must outlive this object.
    explicit ListViewResultList(HWND listView) : listView_(listView) {}

    void DeleteAllItems() override;
    int InsertItem(std::optional<int> position, std::string_view caption) override;
    void SetItemText(int row, int column, std::string_view text) override;
    [[nodiscard]] Text GetItemText(int row, int column = 0) override;
    [[nodiscard]] int ItemCount() override;
    [[nodiscard]] int SelectedItem() override;

  private:
    HWND listView_;
};

} // namespace tavenro
