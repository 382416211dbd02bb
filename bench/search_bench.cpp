// The song search end to end in the native build against the local demo
// service (named in TAVENRO_DEMO_SERVICE, as tests/service/with_demo_service.sh
// sets it): a reply of 5,000 songs, each phase beside the bare way of doing
// the same, and the whole search beside the bare phases in a row.
#define BOOST_REGEX_USE_CPP_LOCALE
#include "bench/figures.h"
#include "bench/sample_texts.h"
#include "songs/fetch_page.h"
#include "songs/memory_result_list.h"
#include "songs/pattern.h"
#include "songs/search_songs.h"
#include "text/bytes.h"

#include <boost/regex.hpp>
#include <curl/curl.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavenro::bench {
namespace {

constexpr const char* kNumber = "905000"; // the demo service answers 5,000 songs

size_t KeepBody(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// A plain libcurl GET, as a programmer would write it.
std::string CurlGet(const std::string& url) {
    std::string body;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &KeepBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return body;
}

using Rows = std::vector<std::array<std::string, 3>>;

Rows BareRows(const boost::regex& expression, const std::string& reply) {
    Rows rows;
    int i = 0;
    const boost::cregex_iterator end;
    for (boost::cregex_iterator it(reply.data(), reply.data() + reply.size(), expression);
         it != end; ++it)
        rows.push_back({std::to_string(++i), (*it)[1].str(), (*it)[3].str()});
    return rows;
}

// The rows as SearchSongs fills them, from matches already found.
void FillRows(ResultList& songs, const MatchList& matches, const Text& reply) {
    songs.DeleteAllItems();
    int i = 0;
    for (const MatchResult& match : matches) {
        const int row = songs.InsertItem(std::nullopt, ToText(++i));
        songs.SetItemText(row, 1, SubmatchText(match, reply, 1));
        songs.SetItemText(row, 2, SubmatchText(match, reply, 3));
    }
    benchmark::DoNotOptimize(songs.ItemCount());
}

Rows PlainRows(const boost::regex& expression, const std::string& reply) {
    return BareRows(expression, reply);
}

} // namespace
} // namespace tavenro::bench

int main(int argc, char** argv) {
    using namespace tavenro;
    using namespace tavenro::bench;
    const char* service = std::getenv("TAVENRO_DEMO_SERVICE");
    if (service == nullptr || *service == '\0') {
        std::fprintf(stderr, "search_bench: run it through tests/service/with_demo_service.sh, "
                             "which starts the demo service and names it in "
                             "TAVENRO_DEMO_SERVICE\n");
        return 2;
    }
    setenv("TAVENRO_MUSIC_HOST", service, 1);
    static const std::string url = PlaylistUrl(kNumber);
    static const Text reply = FetchPageText(url, "GET");
    static Pattern pattern;
    RequireSame(CompilePattern(pattern, kSongExpression), "compiling the song expression");
    static const boost::regex expression(std::string(kSongExpression), boost::regex::perl);
    static const MatchList matches = SearchAll(pattern, reply);

    // Both sides see the same reply and find the same songs.
    RequireSame(reply == CurlGet(url), "the playlist reply");
    MemoryResultList list;
    SearchSongs(kNumber, list, [](std::string_view) {});
    const Rows bare = BareRows(expression, reply);
    bool same = list.ItemCount() == 5000 && bare.size() == 5000;
    for (int row = 0; same && row < list.ItemCount(); ++row)
        for (int column = 0; column < 3; ++column)
            same =
                same && list.GetItemText(row, column) ==
                            bare[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    RequireSame(same, "the rows of 5,000 songs");

    const std::string kb = std::to_string(reply.size() / 1024) + " KB";
    const std::string request = "1. request: FetchPageText, 5,000 songs (" + kb + ")";
    const std::string search = "2. pattern: CompilePattern and SearchAll";
    const std::string fill = "3. rows: the list operations (in memory)";
    const std::string whole = "SearchSongs, all phases";
    AddFigure(
        {request, "libcurl easy GET", 0, "", true},
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(FetchPageText(url, "GET"));
        },
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(CurlGet(url));
        });
    AddFigure(
        {search, "boost::cregex_iterator", 1.1, ""},
        [](benchmark::State& state) {
            for (auto _ : state) {
                Pattern compiled;
                (void)CompilePattern(compiled, kSongExpression);
                benchmark::DoNotOptimize(SearchAll(compiled, reply));
            }
        },
        [](benchmark::State& state) {
            for (auto _ : state) {
                const boost::regex compiled(std::string(kSongExpression), boost::regex::perl);
                int n = 0;
                const boost::cregex_iterator end;
                for (boost::cregex_iterator it(reply.data(), reply.data() + reply.size(), compiled);
                     it != end; ++it)
                    ++n;
                benchmark::DoNotOptimize(n);
            }
        });
    AddFigure(
        {fill, "vector of three strings per song", 0,
         "DeleteAllItems, InsertItem with the caption, SetItemText of columns 1 and 2, "
         "ItemCount, through the table interface kept in memory; the list view itself is "
         "timed under Wine (list_fill_win32)"},
        [](benchmark::State& state) {
            MemoryResultList songs;
            for (auto _ : state)
                FillRows(songs, matches, reply);
        },
        [](benchmark::State& state) {
            for (auto _ : state) {
                Rows rows;
                int i = 0;
                for (const MatchResult& match : matches) {
                    const auto& name = match.submatches[1];
                    const auto& address = match.submatches[3];
                    rows.push_back({std::to_string(++i), reply.substr(name.start, name.length),
                                    reply.substr(address.start, address.length)});
                }
                benchmark::DoNotOptimize(rows);
            }
        });
    AddFigure(
        {whole, "libcurl GET, cregex_iterator, vector of rows", 0, "", true},
        [](benchmark::State& state) {
            MemoryResultList songs;
            for (auto _ : state)
                SearchSongs(kNumber, songs,
                            [](std::string_view caption) { benchmark::DoNotOptimize(caption); });
        },
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(PlainRows(expression, CurlGet(url)));
        });
    const int code = RunFigures(argc, argv, "Song search end to end (native, local service)");

    const double total = MedianSeconds(whole, true);
    if (total > 0) {
        std::printf("\nShare of each phase in the whole search (medians; the request and the "
                    "whole search in wall-clock time, the other phases in CPU time):\n\n"
                    "| Phase | Time | Share of SearchSongs |\n|---|---:|---:|\n");
        for (const std::string& phase : {request, search, fill}) {
            const double seconds = MedianSeconds(phase, true);
            std::printf("| %s | %.2f ms | %.0f%% |\n", phase.c_str(), seconds * 1e3,
                        100 * seconds / total);
        }
        std::printf("| %s | %.2f ms | 100%% |\n", whole.c_str(), total * 1e3);
    }
    return code;
}
