#include "songs/search_songs.h"

#include "songs/fetch_page.h"
#include "songs/music_service.h"
#include "songs/pattern.h"
#include "text/bytes.h"
#include "text/text.h"

#include <optional>

namespace tavenro {

namespace {

// Group 1 is the name, group 3 the address; group 2 spans whatever the reply
// puts between them, line ends included.
constexpr std::string_view kSongExpression = "xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'";

constexpr int kNameColumn = 1;
constexpr int kAddressColumn = 2;

} // namespace

Text PlaylistUrl(std::string_view number) {
    return ConcatText(
        {"http://", MusicServiceHost(), "/fcg-bin/cgi_playlist_xml.fcg?json=1&uin=", number});
}

void SearchSongs(std::string_view number, ResultList& songs, const StatusCaption& setStatus) {
    const Text reply = FetchPageText(PlaylistUrl(number), "GET");

    Pattern pattern;
    // The expression is a constant that always compiles.
    (void)CompilePattern(pattern, kSongExpression);
    const MatchList matches = SearchAll(pattern, reply);

    songs.DeleteAllItems();
    int i = 0;
    for (const MatchResult& match : matches) {
        ++i;
        const int row = songs.InsertItem(std::nullopt, ToText(i));
        songs.SetItemText(row, kNameColumn, SubmatchText(match, reply, 1));
        songs.SetItemText(row, kAddressColumn, SubmatchText(match, reply, 3));
    }

    // The count is what the list holds, not what was found.
    setStatus(ConcatText({"一共搜索到 [", ToText(songs.ItemCount()), "]首歌曲"}));
}

} // namespace tavenro
