// The C++ locale rather than the Win32 one, so that both builds classify and
// fold bytes alike: with the "C" locale only ASCII letters change case and no
// byte 0x80-0xFF is a letter, which suits double-byte text searched byte by
// byte. Only this file uses the library.
#define BOOST_REGEX_USE_CPP_LOCALE
#include "songs/pattern.h"

#include <boost/regex.hpp>

#include <climits>
#include <exception>

namespace tavenro {

struct Pattern::Compiled {
    boost::regex expression;
};

bool CompilePattern(Pattern& pattern, std::string_view expression, bool caseSensitive) {
    // Perl syntax with no option changes what "." and "^"/"$" do: "." takes
    // line breaks unless match_not_dot_newline or no_mod_s is given, and
    // "^"/"$" act at \n, \r and \f (never between \r and \n) unless no_mod_m
    // is given.
    auto options = boost::regex::perl | boost::regex::no_except;
    if (!caseSensitive) {
        options |= boost::regex::icase;
    }
    try {
        auto compiled = std::make_shared<Pattern::Compiled>();
        compiled->expression.assign(expression.data(), expression.data() + expression.size(),
                                    options);
        if (compiled->expression.status() != 0) {
            return false;
        }
        pattern.compiled_ = std::move(compiled);
        return true;
    } catch (const std::exception&) {
        // no_except covers syntax errors; anything else the library throws
        // (its own limits while building the machine) is a rejection too.
        return false;
    }
}

namespace {

MatchResult Record(const boost::cmatch& found, const char* textStart) {
    MatchResult match;
    match.submatches.reserve(found.size());
    for (const auto& group : found) {
        if (group.matched) {
            match.submatches.push_back({static_cast<int>(group.first - textStart),
                                        static_cast<int>(group.second - group.first), true});
        } else {
            match.submatches.push_back({});
        }
    }
    return match;
}

} // namespace

MatchList SearchAll(const Pattern& pattern, std::string_view text) {
    MatchList matches;
    // Offsets are 32-bit like every position of the program's texts.
    if (text.empty() || !pattern.compiled_ || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return matches;
    }
    const boost::regex& expression = pattern.compiled_->expression;
    const char* const textStart = text.data();
    const char* const textEnd = textStart + text.size();

    // Each search runs over [from, textEnd) without match_prev_avail, so the
    // library takes `from` as the beginning of a text: "^", "\b" and look-behind
    // cannot see the bytes before it. Iterators over the one buffer, no copies.
    //
    // An empty match away from the very beginning would be found again by a
    // search starting where it ends. After such a match the next search starts
    // at the same place but with match_not_initial_null, which forbids only an
    // empty match at that start: a non-empty match beginning there, or any
    // match further on, is still found. "$" over "ab" thus gives one match at
    // 2, and "b*" over "bbab" gives "bb", "" at 2, "b" at 3 and "" at 4: no
    // match repeats and none is lost. A search never starts before the end of
    // the last match, and two searches in a row never start at the same place
    // unless the first found an empty match there, so the walk ends.
    boost::cmatch found;
    const char* from = textStart;
    boost::match_flag_type flags = boost::match_default;
    try {
        while (boost::regex_search(from, textEnd, found, expression, flags)) {
            matches.push_back(Record(found, textStart));
            const bool empty = found[0].first == found[0].second;
            if (empty && found[0].first == textStart) {
                break; // "x*" over "abc": the one empty match at the start
            }
            from = found[0].second;
            flags = empty ? boost::regex_constants::match_not_initial_null : boost::match_default;
        }
    } catch (const std::exception&) {
        // The matcher gave up (regex_error: complexity or stack limit, or
        // memory): the matches found before stand as the result.
    }
    return matches;
}

Text SubmatchText(const MatchResult& match, std::string_view text, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= match.submatches.size()) {
        return {};
    }
    const Submatch& group = match.submatches[static_cast<std::size_t>(index)];
    if (!group.taken || group.start < 0 || group.length <= 0 ||
        static_cast<std::size_t>(group.start) >= text.size()) {
        return {};
    }
    return Text(
        text.substr(static_cast<std::size_t>(group.start), static_cast<std::size_t>(group.length)));
}

} // namespace tavenro
