// The operations on the result table (rows and columns from 0). The Windows
// build sends list-view messages (result_list_win32.cpp); tests keep rows in
// memory.
#pragma once

#include "text/text_array.h"

#include <optional>
#include <string_view>

namespace tavenro {

class ResultList {
  public:
    virtual ~ResultList() = default;

    virtual void DeleteAllItems() = 0;

    // Inserts a row whose column 0 holds the caption; a left-out or negative
    // position appends. The new row's index, or -1 when refused.
    virtual int InsertItem(std::optional<int> position, std::string_view caption) = 0;

    // Sets one cell of an existing row; a missing row changes nothing.
    virtual void SetItemText(int row, int column, std::string_view text) = 0;

    // The whole text of one cell; empty for a missing row or an unset cell.
    [[nodiscard]] virtual Text GetItemText(int row, int column = 0) = 0;

    [[nodiscard]] virtual int ItemCount() = 0;

    // The selected row, or -1.
    [[nodiscard]] virtual int SelectedItem() = 0;
};

} // namespace tavenro
