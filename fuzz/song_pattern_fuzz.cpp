// SearchAll and SubmatchText over arbitrary replies. With the song
// expression the matches are checked one by one against the rules; the
// matcher may give up on a reply (its complexity limit), and then what it
// found before must stand. A few other expressions exercise the walk after
// empty matches and at a new beginning; for them the list must be in order,
// inside the text and free of repeats.
// Fields: expression (empty or 0: the song expression, 1-8 others), group
// index, length of a second text to cut from; then the rest of the input is
// the reply, zero bytes removed (the reply is a Text).
#include "fuzz/fuzz_support.h"
#include "songs/pattern.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tavenro {

namespace {

// The song search's expression (songs/search_songs.cpp).
constexpr std::string_view kSongExpression = "xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'";

constexpr std::array<std::string_view, 9> kExpressions = {
    kSongExpression, "aa", "^a", "x*", "b*", "$", "(a)|(b)", "\\bx|(?<=a)b", "(x)?(?:y|$)"};

const std::array<Pattern, kExpressions.size()>& Patterns() {
    static const auto patterns = [] {
        std::array<Pattern, kExpressions.size()> compiled;
        for (std::size_t i = 0; i < kExpressions.size(); ++i)
            if (!CompilePattern(compiled[i], kExpressions[i]))
                std::abort();
        return compiled;
    }();
    return patterns;
}

struct Span {
    std::size_t start, length;
};

// The song matches by the rules of the expression: for the leftmost
// "xsong_name:\"", group 1 runs to the first quote after it (a later quote
// cannot help the rest to match), group 2 to the first "xsong_url:'" after
// that quote, group 3 to the first apostrophe after that; the next search
// begins behind the apostrophe.
std::vector<std::array<Span, 4>> SongMatchesByRules(std::string_view reply) {
    constexpr std::string_view kName = "xsong_name:\"", kAddress = "xsong_url:'";
    std::vector<std::array<Span, 4>> matches;
    for (std::size_t from = 0;;) {
        const std::size_t name = reply.find(kName, from);
        if (name == std::string_view::npos)
            break;
        const std::size_t nameEnd = reply.find('"', name + kName.size());
        if (nameEnd == std::string_view::npos)
            break;
        const std::size_t address = reply.find(kAddress, nameEnd + 1);
        if (address == std::string_view::npos)
            break;
        const std::size_t addressEnd = reply.find('\'', address + kAddress.size());
        if (addressEnd == std::string_view::npos)
            break;
        const std::size_t group1 = name + kName.size(), group3 = address + kAddress.size();
        matches.push_back({Span{name, addressEnd + 1 - name}, Span{group1, nameEnd - group1},
                           Span{nameEnd + 1, address - nameEnd - 1},
                           Span{group3, addressEnd - group3}});
        from = addressEnd + 1;
    }
    return matches;
}

// How often the matcher gave up, for the run's summary: allowed, but worth
// knowing.
struct SongCounts {
    long long replies = 0, abandoned = 0;
    ~SongCounts() {
        std::fprintf(stderr, "song expression: %lld replies, matcher gave up on %lld\n", replies,
                     abandoned);
    }
};
SongCounts counts;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const auto which =
        static_cast<std::size_t>(static_cast<unsigned>(fields.NumberOr(0))) % kExpressions.size();
    const int index = fields.NumberOr(1);
    const int cut = fields.NumberOr(0);
    std::string reply(fields.Rest());
    reply.erase(std::remove(reply.begin(), reply.end(), '\0'), reply.end());

    const MatchList matches = SearchAll(Patterns()[which], reply);
    const fuzz::Call search =
        fuzz::Call("SearchAll").With(std::string(kExpressions[which])).With(reply);

    std::size_t previousEnd = 0;
    for (std::size_t k = 0; k < matches.size(); ++k) {
        const MatchResult& match = matches[k];
        const fuzz::Call at = fuzz::Call(search).With(static_cast<int>(k));
        fuzz::ExpectThat(match.submatches.size() == matches[0].submatches.size() &&
                             !match.submatches.empty() && match.submatches[0].taken,
                         at, "every match holds the whole match and the same groups");
        for (std::size_t g = 0; g < match.submatches.size(); ++g) {
            const Submatch& group = match.submatches[g];
            if (!group.taken) {
                fuzz::ExpectSame(fuzz::Call(at).With(static_cast<int>(g)),
                                 SubmatchText(match, reply, static_cast<int>(g)), std::string());
                continue;
            }
            fuzz::ExpectThat(group.start >= 0 && group.length >= 0 &&
                                 static_cast<std::size_t>(group.start) + group.length <=
                                     reply.size(),
                             at, "every group lies inside the text");
            fuzz::ExpectSame(fuzz::Call(at).With(static_cast<int>(g)),
                             SubmatchText(match, reply, static_cast<int>(g)),
                             reply.substr(group.start, group.length));
        }
        const Submatch& whole = match.submatches[0];
        const auto start = static_cast<std::size_t>(whole.start);
        // After an empty match the next may begin at the same place only
        // with bytes of its own.
        const bool afterEmptyAtSamePlace =
            k > 0 && matches[k - 1].submatches[0].length == 0 && start == previousEnd;
        fuzz::ExpectThat(start >= previousEnd && !(afterEmptyAtSamePlace && whole.length == 0), at,
                         "matches in text order, not overlapping, none repeated");
        fuzz::ExpectThat(!(whole.length == 0 && start == 0) || k + 1 == matches.size(), at,
                         "an empty match at the very beginning ends the walk");
        previousEnd = start + whole.length;

        // Cut from another text: by offset and length alone, at most to its end.
        const std::string shorter = reply.substr(0, static_cast<std::size_t>(std::max(cut, 0)));
        const bool inRange =
            index >= 0 && static_cast<std::size_t>(index) < match.submatches.size();
        std::string expected;
        if (inRange && match.submatches[index].taken &&
            static_cast<std::size_t>(match.submatches[index].start) < shorter.size())
            expected =
                shorter.substr(match.submatches[index].start, match.submatches[index].length);
        fuzz::ExpectSame(
            fuzz::Call("SubmatchText").With(static_cast<int>(k)).With(shorter).With(index),
            SubmatchText(match, shorter, index), expected);
    }

    if (which == 0) {
        const auto byRules = SongMatchesByRules(reply);
        ++counts.replies;
        counts.abandoned += matches.size() < byRules.size();
        // Equal, or shorter where the matcher gave up: what it found stands.
        fuzz::ExpectThat(matches.size() <= byRules.size(), search,
                         "no more song matches than the rules give");
        for (std::size_t k = 0; k < matches.size(); ++k) {
            for (std::size_t g = 0; g < 4; ++g) {
                const Submatch& got = matches[k].submatches[g];
                fuzz::ExpectThat(
                    static_cast<std::size_t>(got.start) == byRules[k][g].start &&
                        static_cast<std::size_t>(got.length) == byRules[k][g].length,
                    fuzz::Call(search).With(static_cast<int>(k)).With(static_cast<int>(g)),
                    "the song match and its groups as the rules give them");
            }
        }
    }
    return 0;
}

} // namespace tavenro
