// SearchAll with the song expression over a realistic 2 MB reply, against
// Boost.Regex's own iterator over the same text with the same expression.
// The comparison with Python's re.finditer runs in scripts/bench.sh, on the
// reply that pattern_timer writes.

// The same locale choice as songs/pattern.cpp: one definition of the
// library's traits in the program.
#define BOOST_REGEX_USE_CPP_LOCALE
#include "bench/figures.h"
#include "bench/sample_texts.h"
#include "songs/pattern.h"

#include <boost/regex.hpp>

#include <string>

namespace tavenro::bench {
namespace {

constexpr int kSongs = 4000;

struct Walk {
    int matches = 0;
    std::size_t groupBytes = 0; // groups 1 and 3, so that nothing is skipped
};

Walk BoostWalk(const boost::regex& expression, const Text& reply) {
    Walk walk;
    const boost::cregex_iterator end;
    for (boost::cregex_iterator it(reply.data(), reply.data() + reply.size(), expression);
         it != end; ++it) {
        ++walk.matches;
        walk.groupBytes += static_cast<std::size_t>((*it)[1].length() + (*it)[3].length());
    }
    return walk;
}

std::vector<std::pair<Text, Text>> BoostSongs(const boost::regex& expression, const Text& reply) {
    std::vector<std::pair<Text, Text>> songs;
    const boost::cregex_iterator end;
    for (boost::cregex_iterator it(reply.data(), reply.data() + reply.size(), expression);
         it != end; ++it)
        songs.emplace_back((*it)[1].str(), (*it)[3].str());
    return songs;
}

std::vector<std::pair<Text, Text>> TavenroSongs(const Pattern& pattern, const Text& reply) {
    std::vector<std::pair<Text, Text>> songs;
    for (const MatchResult& match : SearchAll(pattern, reply))
        songs.emplace_back(SubmatchText(match, reply, 1), SubmatchText(match, reply, 3));
    return songs;
}

} // namespace
} // namespace tavenro::bench

int main(int argc, char** argv) {
    using namespace tavenro;
    using namespace tavenro::bench;
    static const Text reply = PlaylistReply(kSongs);
    static Pattern pattern;
    RequireSame(CompilePattern(pattern, kSongExpression), "compiling the song expression");
    static const boost::regex expression(std::string(kSongExpression), boost::regex::perl);

    const MatchList found = SearchAll(pattern, reply);
    RequireSame(static_cast<int>(found.size()) == kSongs &&
                    BoostWalk(expression, reply).matches == kSongs,
                "matches of the song expression");
    RequireSame(TavenroSongs(pattern, reply) == BoostSongs(expression, reply),
                "names and addresses");

    const std::string size = std::to_string(reply.size() / 1024) + " KB";
    AddFigure(
        {"SearchAll, song expression, " + std::to_string(kSongs) + " songs (" + size + ")",
         "boost::cregex_iterator", 1.1, ""},
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(SearchAll(pattern, reply));
        },
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(BoostWalk(expression, reply));
        });
    AddFigure(
        {"SearchAll and SubmatchText 1 and 3 (" + size + ")",
         "cregex_iterator and str() of groups 1 and 3", 1.1, ""},
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(TavenroSongs(pattern, reply));
        },
        [](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(BoostSongs(expression, reply));
        });
    return RunFigures(argc, argv, "Pattern search");
}
