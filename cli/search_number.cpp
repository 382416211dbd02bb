#include "cli/search_number.h"

#include "songs/search_songs.h"

namespace tavenro {

NumberSongs SearchNumber(std::string_view number) {
    NumberSongs result{Text(number), {}, {}};
    SongRows rows;
    SearchSongs(number, rows, [&](std::string_view caption) { result.status = caption; });
    result.songs = rows.Songs();
    return result;
}

} // namespace tavenro
