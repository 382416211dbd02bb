// The text toolkit on 8 MB pages against the plain byte routines that give
// the same results there: what the double-byte rule costs.
#include "bench/figures.h"
#include "bench/sample_texts.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <strings.h>
#include <vector>

namespace tavenro::bench {
namespace {

using std::nullopt;

constexpr std::size_t kPageBytes = 8 * 1024 * 1024;

int Position(std::size_t index) {
    return index == std::string_view::npos ? -1 : static_cast<int>(index) + 1;
}

// The plain routines.

int PlainFind(std::string_view text, std::string_view sought) {
    const void* hit = memmem(text.data(), text.size(), sought.data(), sought.size());
    return hit ? static_cast<int>(static_cast<const char*>(hit) - text.data()) + 1 : -1;
}

int PlainFindIgnoringCase(const std::string& text, const char* sought) {
    const char* hit = strcasestr(text.c_str(), sought);
    return hit ? static_cast<int>(hit - text.c_str()) + 1 : -1;
}

int PlainFindLast(std::string_view text, std::string_view sought) {
    return Position(text.rfind(sought));
}

std::string PlainReplace(std::string_view text, std::string_view sought,
                         std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t hit; (hit = text.find(sought, from)) != std::string_view::npos;) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + sought.size();
    }
    out.append(text.substr(from));
    return out;
}

std::vector<std::string> PlainSplit(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (std::size_t hit; (hit = text.find(separator, from)) != std::string_view::npos;) {
        pieces.emplace_back(text.substr(from, hit - from));
        from = hit + separator.size();
    }
    if (from < text.size())
        pieces.emplace_back(text.substr(from));
    return pieces;
}

std::string PlainTrim(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    return std::string(text.substr(begin, text.find_last_not_of(' ') + 1 - begin));
}

std::string PlainRemoveSpaces(std::string_view text) {
    std::string out(text.size(), '\0');
    char* w = out.data();
    for (char c : text)
        if (c != ' ')
            *w++ = c;
    out.resize(static_cast<std::size_t>(w - out.data()));
    return out;
}

std::string PlainLower(std::string_view text) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
    }
    return out;
}

std::vector<std::string> Pieces(const TextArray& list) {
    return {list.begin(), list.end()};
}

// Repeats the call on the page; the result is kept from being optimised away.
template <typename Call> BenchmarkBody Loop(const Text* page, Call call) {
    return [page, call](benchmark::State& state) {
        for (auto _ : state) {
            auto result = call(*page);
            benchmark::DoNotOptimize(result);
        }
    };
}

struct Page {
    const char* label;
    const Text* text;
};

void AddPageFigures(const Page& page) {
    // The benchmarks outlive this function: they take the page by pointer
    // and everything else by value.
    const Text* const page_ = page.text;
    const Text& text = *page_;
    const std::string on = std::string(" / ") + page.label;
    const std::string endUpper = "[[END-OF-PAGE]]";

    RequireSame(FindText(text, kEndMarker, nullopt, false) == PlainFind(text, kEndMarker),
                "FindText ASCII" + on);
    AddFigure(
        {"FindText, ASCII sought at the end" + on, "memmem", 2.0, ""},
        Loop(page_, [=](const Text& text) { return FindText(text, kEndMarker, nullopt, false); }),
        Loop(page_, [=](const Text& text) { return PlainFind(text, kEndMarker); }));

    RequireSame(FindText(text, kGbkMarker, nullopt, false) == PlainFind(text, kGbkMarker),
                "FindText GBK" + on);
    AddFigure(
        {"FindText, GBK sought at the end" + on, "memmem", 2.0, ""},
        Loop(page_, [=](const Text& text) { return FindText(text, kGbkMarker, nullopt, false); }),
        Loop(page_, [=](const Text& text) { return PlainFind(text, kGbkMarker); }));

    RequireSame(FindText(text, endUpper, nullopt, true) ==
                    PlainFindIgnoringCase(text, endUpper.c_str()),
                "FindText ignoring case" + on);
    AddFigure(
        {"FindText ignoring case, at the end" + on, "strcasestr", 2.0, ""},
        Loop(page_, [=](const Text& text) { return FindText(text, endUpper, nullopt, true); }),
        Loop(page_,
             [=](const Text& text) { return PlainFindIgnoringCase(text, endUpper.c_str()); }));

    RequireSame(FindTextReverse(text, "\r\n", nullopt, false) == PlainFindLast(text, "\r\n"),
                "FindTextReverse last" + on);
    AddFigure({"FindTextReverse, last line break" + on, "string_view::rfind", 2.0, ""},
              Loop(page_,
                   [=](const Text& text) { return FindTextReverse(text, "\r\n", nullopt, false); }),
              Loop(page_, [=](const Text& text) { return PlainFindLast(text, "\r\n"); }));

    RequireSame(FindTextReverse(text, kStartMarker, nullopt, false) ==
                    PlainFindLast(text, kStartMarker),
                "FindTextReverse first" + on);
    AddFigure(
        {"FindTextReverse, sought only at the start" + on, "string_view::rfind", 2.0, ""},
        Loop(page_,
             [=](const Text& text) { return FindTextReverse(text, kStartMarker, nullopt, false); }),
        Loop(page_, [=](const Text& text) { return PlainFindLast(text, kStartMarker); }));

    // A frequent sought text: ", " on the ASCII page, the full-width comma
    // (a two-byte character) on the GBK page.
    const bool asciiPage = std::string_view(page.label) == "mostly ASCII";
    const std::string_view comma = asciiPage ? ", " : "，";
    const std::string commaName = asciiPage ? "\", \"" : "full-width comma"; // the table is UTF-8
    RequireSame(ReplaceText(text, comma, ",", nullopt, nullopt, true) ==
                    PlainReplace(text, comma, ","),
                "ReplaceText" + on);
    AddFigure({"ReplaceText, every " + commaName + on, "find and append loop", 2.0, ""},
              Loop(page_,
                   [=](const Text& text) {
                       return ReplaceText(text, comma, ",", nullopt, nullopt, true);
                   }),
              Loop(page_, [=](const Text& text) { return PlainReplace(text, comma, ","); }));

    RequireSame(Pieces(SplitText(text, "\r\n")) == PlainSplit(text, "\r\n"), "SplitText" + on);
    AddFigure({"SplitText into lines" + on, "find loop into vector<string>", 2.0, ""},
              Loop(page_, [=](const Text& text) { return SplitText(text, "\r\n"); }),
              Loop(page_, [=](const Text& text) { return PlainSplit(text, "\r\n"); }));

    RequireSame(TrimText(text) == PlainTrim(text), "TrimText" + on);
    AddFigure({"TrimText" + on, "find_first/last_not_of and copy", 2.0, ""},
              Loop(page_, [=](const Text& text) { return TrimText(text); }),
              Loop(page_, [=](const Text& text) { return PlainTrim(text); }));

    RequireSame(RemoveSpaces(text) == PlainRemoveSpaces(text), "RemoveSpaces" + on);
    AddFigure({"RemoveSpaces" + on, "copy loop without ' '", 2.0, ""},
              Loop(page_, [=](const Text& text) { return RemoveSpaces(text); }),
              Loop(page_, [=](const Text& text) { return PlainRemoveSpaces(text); }));

    // On the GBK page the plain loop also lowers second bytes in A-Z: no
    // plain routine gives ToLower's result there, so the loop is the cost
    // to compare with, not a result to compare with.
    const bool sameLower = ToLower(text) == PlainLower(text);
    AddFigure({"ToLower" + on, "copy loop lowering A-Z", 2.0,
               sameLower ? "" : "the plain loop also lowers second bytes in A-Z (wrong result)"},
              Loop(page_, [=](const Text& text) { return ToLower(text); }),
              Loop(page_, [=](const Text& text) { return PlainLower(text); }));
}

} // namespace
} // namespace tavenro::bench

int main(int argc, char** argv) {
    using namespace tavenro::bench;
    static const tavenro::Text ascii = MostlyAsciiPage(kPageBytes);
    static const tavenro::Text gbk = MostlyGbkPage(kPageBytes);
    AddPageFigures({"mostly ASCII", &ascii});
    AddPageFigures({"mostly GBK", &gbk});
    return RunFigures(argc, argv, "Text toolkit on 8 MB pages");
}
