// ReplaceText and SplitText over arbitrary bytes, starts, counts and limits,
// against the rules.
// Fields: text, sought text (the separator for SplitText), replacement,
// start, count (the limit for SplitText), match case; empty numbers are left
// out.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "text/text.h"

namespace tavenro {

namespace {

std::vector<std::string> Pieces(const TextArray& list) {
    std::vector<std::string> pieces;
    for (int i = 1; i <= ArrayCount(list); ++i)
        pieces.push_back(list.At(i));
    return pieces;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.Text();
    const std::string_view sought = fields.Text();
    const std::string_view replacement = fields.Text();
    const std::optional<int> start = fields.Number();
    const std::optional<int> count = fields.Number();
    const bool matchCase = fields.Flag();

    fuzz::ExpectSame(fuzz::Call("ReplaceText")
                         .With(text)
                         .With(sought)
                         .With(replacement)
                         .With(start)
                         .With(count)
                         .With(matchCase),
                     ReplaceText(text, sought, replacement, start, count, matchCase),
                     reference::Replace(text, sought, replacement, start, count, matchCase));

    fuzz::ExpectSame(fuzz::Call("SplitText").With(text).With(sought).With(count),
                     Pieces(SplitText(text, sought, count)), reference::Split(text, sought, count));
    fuzz::ExpectSame(fuzz::Call("SplitText").With(text), Pieces(SplitText(text)),
                     reference::Split(text, ",", std::nullopt));
    return 0;
}

} // namespace tavenro
