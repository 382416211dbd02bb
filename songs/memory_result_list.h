// The result table kept in memory, three texts a row: what the tests and the
// benchmarks have in place of the list-view control. Rows keep the order
// they were put in; the selection is whatever its holder sets.
#pragma once

#include "songs/result_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tavenro {

class MemoryResultList : public ResultList {
  public:
    using Row = std::array<Text, 3>;

    void DeleteAllItems() override { rows.clear(); }

    // A position that names no row appends.
    int InsertItem(std::optional<int> position, std::string_view caption) override {
        const std::size_t at = position && *position >= 0
                                   ? std::min(static_cast<std::size_t>(*position), rows.size())
                                   : rows.size();
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), Row{Text(caption)});
        return static_cast<int>(at);
    }

    // A cell outside the table changes nothing and reads empty.
    void SetItemText(int row, int column, std::string_view text) override {
        if (Holds(row, column))
            rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }

    [[nodiscard]] Text GetItemText(int row, int column = 0) override {
        return Holds(row, column)
                   ? rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
                   : Text();
    }

    [[nodiscard]] int ItemCount() override { return static_cast<int>(rows.size()); }

    [[nodiscard]] int SelectedItem() override { return selected; }

    std::vector<Row> rows;
    int selected = -1;

  private:
    [[nodiscard]] bool Holds(int row, int column) const {
        return row >= 0 && static_cast<std::size_t>(row) < rows.size() && column >= 0 && column < 3;
    }
};

} // namespace tavenro
