// The result table kept in memory: what the native build has in place of
// the list-view control, so that filling the rows can be timed there too.
#pragma once

#include "songs/result_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tavenro::bench {

class MemoryResultList final : public ResultList {
  public:
    void DeleteAllItems() override { rows_.clear(); }

    int InsertItem(std::optional<int> position, std::string_view caption) override {
        const std::size_t at = position && *position >= 0
                                   ? std::min(static_cast<std::size_t>(*position), rows_.size())
                                   : rows_.size();
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), Row{Text(caption)});
        return static_cast<int>(at);
    }

    void SetItemText(int row, int column, std::string_view text) override {
        if (row >= 0 && row < ItemCount() && column >= 0 && column < 3)
            rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }

    [[nodiscard]] Text GetItemText(int row, int column = 0) override {
        if (row < 0 || row >= ItemCount() || column < 0 || column >= 3)
            return {};
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }

    [[nodiscard]] int ItemCount() override { return static_cast<int>(rows_.size()); }

    [[nodiscard]] int SelectedItem() override { return -1; }

  private:
    using Row = std::array<Text, 3>;
    std::vector<Row> rows_;
};

} // namespace tavenro::bench
