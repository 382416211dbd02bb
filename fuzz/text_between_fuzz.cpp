// TextBetween and HeaderFieldValue over arbitrary texts, markers and starts,
// against the rules.
// Fields: text, left marker, right marker, start (empty: 0), ignore case.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "web/text_between.h"

namespace tavenro {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.Text();
    const std::string_view left = fields.Text();
    const std::string_view right = fields.Text();
    const int start = fields.NumberOr(0);
    const bool ignoreCase = fields.Flag();

    fuzz::ExpectSame(
        fuzz::Call("TextBetween").With(text).With(left).With(right).With(start).With(ignoreCase),
        TextBetween(text, left, right, start, ignoreCase),
        reference::TextBetween(text, left, right, start, ignoreCase));
    fuzz::ExpectSame(fuzz::Call("HeaderFieldValue").With(text), HeaderFieldValue(text),
                     reference::HeaderFieldValue(text));
    return 0;
}

} // namespace tavenro
