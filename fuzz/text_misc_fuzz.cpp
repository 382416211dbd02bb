// The other text primitives over arbitrary bytes and counts, against the
// rules: cutting, trimming, blanks, case, prefixes, comparing, joining.
// Fields: text a, text b, text c, number n, number m.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "text/text.h"

namespace tavenro {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Call;
    using fuzz::ExpectSame;
    fuzz::Fields fields(data, size);
    const std::string_view a = fields.Text();
    const std::string_view b = fields.Text();
    const std::string_view c = fields.Text();
    const int n = fields.NumberOr(0);
    const int m = fields.NumberOr(0);

    ExpectSame(Call("TextLength").With(a), TextLength(a), static_cast<int>(a.size()));
    ExpectSame(Call("TextLeft").With(a).With(n), TextLeft(a, n), reference::Left(a, n));
    ExpectSame(Call("TextRight").With(a).With(n), TextRight(a, n), reference::Right(a, n));
    ExpectSame(Call("TextMid").With(a).With(n).With(m), TextMid(a, n, m), reference::Mid(a, n, m));

    ExpectSame(Call("TrimText").With(a), TrimText(a), reference::Trim(a));
    ExpectSame(Call("RemoveSpaces").With(a), RemoveSpaces(a), reference::RemoveSpaces(a));
    ExpectSame(Call("ToLower").With(a), ToLower(a), reference::ToLower(a));

    ExpectSame(Call("StartsWith").With(a).With(b), StartsWith(a, b), reference::StartsWith(a, b));
    ExpectSame(Call("CompareText").With(a).With(b), CompareText(a, b), reference::Compare(a, b));
    ExpectSame(Call("CompareText").With(b).With(a), CompareText(b, a), reference::Compare(b, a));
    ExpectSame(Call("ConcatText").With(a).With(b).With(c), ConcatText({a, b, c}),
               std::string(a) + std::string(b) + std::string(c));

    const auto code = static_cast<std::uint8_t>(n);
    ExpectSame(Call("CharFromCode").With(static_cast<int>(code)), CharFromCode(code),
               code == 0 ? std::string() : std::string(1, static_cast<char>(code)));
    const auto un = static_cast<std::uint32_t>(n);
    const auto um = static_cast<std::uint32_t>(m);
    fuzz::ExpectThat(BitOr({un, um}) == (un | um) && BitOr({un}) == un,
                     Call("BitOr").With(n).With(m), "the bitwise or of the values");
    return 0;
}

} // namespace tavenro
