// FindText and FindTextReverse over arbitrary bytes and starts, both case
// modes, against the rules.
// Fields: text, sought text, start (empty: left out).
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "text/text.h"

namespace tavenro {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.Text();
    const std::string_view sought = fields.Text();
    const std::optional<int> start = fields.Number();

    for (const bool ignoreCase : {false, true}) {
        fuzz::ExpectSame(
            fuzz::Call("FindText").With(text).With(sought).With(start).With(ignoreCase),
            FindText(text, sought, start, ignoreCase),
            reference::Find(text, sought, start, ignoreCase));
        fuzz::ExpectSame(
            fuzz::Call("FindTextReverse").With(text).With(sought).With(start).With(ignoreCase),
            FindTextReverse(text, sought, start, ignoreCase),
            reference::FindReverse(text, sought, start, ignoreCase));
    }
    return 0;
}

} // namespace tavenro
