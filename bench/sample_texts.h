// The texts the benchmarks work on, made the same way in every run (a fixed
// seed): a page of mostly ASCII text, one of mostly GBK text, and a playlist
// reply of the music service.
#pragma once

#include "text/text_array.h"

#include <cstddef>
#include <string_view>

namespace tavenro::bench {

// Each page begins with three spaces and kStartMarker and ends with
// kGbkMarker, kEndMarker and three spaces; neither marker occurs elsewhere.
// Lines end in "\r\n"; words are separated by ", " among others. No
// full-width space occurs inside, and no byte sequence that a plain byte
// search would find on the second byte of a character, so the plain
// routines give the toolkit's results on these pages.
inline constexpr std::string_view kStartMarker = "[[start-of-page]]";
inline constexpr std::string_view kEndMarker = "[[end-of-page]]";
inline constexpr std::string_view kGbkMarker = "東尾声";

// Words with a GB2312 character now and then (about 4% of the bytes); no
// second byte lies in A-Z, so a plain lower-casing loop agrees with ToLower.
[[nodiscard]] Text MostlyAsciiPage(std::size_t bytes);

// Chinese text (about 90% of the bytes in two-byte characters, some with
// second bytes in 0x40-0x7E, A-Z included) with ASCII digits, words and
// spaces between.
[[nodiscard]] Text MostlyGbkPage(std::size_t bytes);

// A playlist reply of the music service with this many songs, about 520
// bytes each: names in Chinese and ASCII, entities and escapes in them, and
// the fields a real reply puts between a song's name and its address.
[[nodiscard]] Text PlaylistReply(int songs);

// The song expression of the search, as the program compiles it.
inline constexpr std::string_view kSongExpression = "xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'";

} // namespace tavenro::bench
