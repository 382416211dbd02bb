// Regular-expression search over byte texts (Perl syntax, one byte per
// character): compile an expression once, collect every match of it in a text
// with the offsets of its groups, and cut a group's text out again.
// Nothing here throws: a rejected expression or a search the matcher gives up
// on shows as a false result or a shorter match list.
#pragma once

#include "text/text_array.h"

#include <memory>
#include <string_view>
#include <vector>

namespace tavenro {

// Where one group of a match lies in the searched text.
struct Submatch {
    int start = -1;     // byte offset from the beginning of the text; -1 when not taken
    int length = 0;     // bytes
    bool taken = false; // whether the group took part in the match

    friend bool operator==(const Submatch&, const Submatch&) = default;
};

// One match: submatches[0] is the whole match, 1..n the groups numbered by
// their opening parentheses. Holds offsets only, no copy of the text.
struct MatchResult {
    std::vector<Submatch> submatches;

    friend bool operator==(const MatchResult&, const MatchResult&) = default;
};

// The matches of one search, in text order, never overlapping.
using MatchList = std::vector<MatchResult>;

// A compiled expression, or none (as made). Copies share the compiled form,
// which never changes after compilation.
class Pattern {
  public:
    [[nodiscard]] bool HasExpression() const { return compiled_ != nullptr; }

  private:
    struct Compiled;
    std::shared_ptr<const Compiled> compiled_;

    friend bool CompilePattern(Pattern&, std::string_view, bool);
    friend MatchList SearchAll(const Pattern&, std::string_view);
};

// Compiles the expression (Perl syntax; "." takes any byte, line breaks
// included; "^" and "$" also match at line breaks) into the pattern. False
// when the expression is rejected; the pattern then keeps what it held.
bool CompilePattern(Pattern& pattern, std::string_view expression, bool caseSensitive = true);

// Every match of the pattern in the text, left to right. Each search after
// the first sees only the rest of the text, as a text of its own. Empty for an
// empty text or a pattern without expression; a search the matcher abandons
// (complexity or memory limit) ends the list with the matches found before.
[[nodiscard]] MatchList SearchAll(const Pattern& pattern, std::string_view text);

// The bytes of group `index` of the match, cut out of `text` by offset and
// length (pass the text that was searched). Empty for a group that did not
// take part, an index outside the match, or an offset past the text's end;
// a group reaching past the end is cut at the end.
[[nodiscard]] Text SubmatchText(const MatchResult& match, std::string_view text, int index);

} // namespace tavenro
