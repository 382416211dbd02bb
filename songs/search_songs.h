// The song search: one playlist request to the music service, every song's
// name and address picked out of the reply, one row per song.
#pragma once

#include "songs/result_list.h"
#include "text/text_array.h"

#include <functional>
#include <string_view>

namespace tavenro {

// Sets the caption of the status label.
using StatusCaption = std::function<void(std::string_view caption)>;

// The playlist request for a QQ number, the number byte for byte as typed:
// not trimmed, not checked for digits, not encoded.
[[nodiscard]] Text PlaylistUrl(std::string_view number);

// Empties songs, appends a row per song of the number's playlist in reply
// order (caption "1", "2", ...; name in column 1, address in column 2) and
// sets the status caption to the row count the list then holds. Nothing is
// reported on failure: the list stays empty and the count reads 0.
void SearchSongs(std::string_view number, ResultList& songs, const StatusCaption& setStatus);

} // namespace tavenro
