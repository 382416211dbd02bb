// Where the QQ Zone music service lives.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

inline constexpr std::string_view kMusicServiceHost = "qzone-music.qq.com";

// The service's host. The environment variable TAVENRO_MUSIC_HOST (a host,
// or host:port) replaces it, so that the tests and the demo can point the
// program at a local service; unset or empty, the constant holds.
[[nodiscard]] Text MusicServiceHost();

} // namespace tavenro
