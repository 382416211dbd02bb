#include "songs/music_service.h"

#include <cstdlib>

namespace tavenro {

Text MusicServiceHost() {
    const char* local = std::getenv("TAVENRO_MUSIC_HOST");
    return Text(local != nullptr && *local != '\0' ? std::string_view(local) : kMusicServiceHost);
}

} // namespace tavenro
