// The search's rows for one QQ number, kept in memory: the result table of
// the window without a window.
#pragma once

#include "songs/result_list.h"
#include "text/text_array.h"

#include <vector>

namespace tavenro {

// One row: column 0 (the running number the search gave it), 1 and 2.
struct Song {
    Text id;
    Text name;
    Text address;

    friend bool operator==(const Song&, const Song&) = default;
};

// Rows in the order they were inserted, as the window's list (which does not
// sort) shows them.
class SongRows : public ResultList {
  public:
    void DeleteAllItems() override;
    int InsertItem(std::optional<int> position, std::string_view caption) override;
    void SetItemText(int row, int column, std::string_view text) override;
    [[nodiscard]] Text GetItemText(int row, int column = 0) override;
    [[nodiscard]] int ItemCount() override;
    // Nothing is ever selected here.
    [[nodiscard]] int SelectedItem() override { return -1; }

    [[nodiscard]] const std::vector<Song>& Songs() const { return songs_; }

  private:
    [[nodiscard]] Text* Cell(int row, int column);

    std::vector<Song> songs_;
};

// What one number's search gave: its rows and the count line the window's
// status label would show.
struct NumberSongs {
    Text number;
    std::vector<Song> songs;
    Text status;
};

} // namespace tavenro
