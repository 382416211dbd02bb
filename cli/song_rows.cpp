#include "cli/song_rows.h"

namespace tavenro {

void SongRows::DeleteAllItems() {
    songs_.clear();
}

int SongRows::InsertItem(std::optional<int> position, std::string_view caption) {
    const int count = ItemCount();
    const int row = position && *position >= 0 && *position < count ? *position : count;
    songs_.insert(songs_.begin() + row, Song{Text(caption), {}, {}});
    return row;
}

Text* SongRows::Cell(int row, int column) {
    if (row < 0 || row >= ItemCount())
        return nullptr;
    Song& song = songs_[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return &song.id;
    case 1:
        return &song.name;
    case 2:
        return &song.address;
    default:
        return nullptr;
    }
}

void SongRows::SetItemText(int row, int column, std::string_view text) {
    if (Text* cell = Cell(row, column))
        *cell = text;
}

Text SongRows::GetItemText(int row, int column) {
    const Text* cell = Cell(row, column);
    return cell ? *cell : Text();
}

int SongRows::ItemCount() {
    return static_cast<int>(songs_.size());
}

} // namespace tavenro
