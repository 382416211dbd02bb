// Byte buffers, lists and conversions over arbitrary bytes and counts,
// against the rules.
// Fields: text, number n, number m, then the rest of the input (zero bytes
// included) as a byte buffer.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "text/bytes.h"

#include <algorithm>
#include <cstring>

namespace tavenro {

namespace {

// Larger sizes are valid counts too, but only measure the allocator.
constexpr int kLargestBlank = 1 << 20;

std::string Shown(const Bytes& bytes) {
    return fuzz::Shown(std::string(bytes.begin(), bytes.end()));
}

int CompareByRules(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size())
        return 1;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Call;
    using fuzz::ExpectSame;
    using fuzz::ExpectThat;
    fuzz::Fields fields(data, size);
    const std::string_view text = fields.Text();
    const int n = fields.NumberOr(0);
    const int m = fields.NumberOr(0);
    const std::string_view rest = fields.Rest();
    const Bytes buffer(rest.begin(), rest.end());
    const Bytes front(buffer.begin(), buffer.begin() + buffer.size() / 2);
    const Bytes back(buffer.begin() + buffer.size() / 2, buffer.end());

    const Call onBuffer = Call("buffer").With(Shown(buffer));
    ExpectThat(BytesLength(buffer) == static_cast<int>(buffer.size()), onBuffer, "BytesLength");
    const Bytes left = BytesLeft(buffer, n);
    const std::size_t leftSize = n <= 0 ? 0 : std::min<std::size_t>(n, buffer.size());
    ExpectThat(left == Bytes(buffer.begin(), buffer.begin() + leftSize), Call(onBuffer).With(n),
               "BytesLeft: the first min(n, length) bytes, none for n <= 0");
    if (n <= kLargestBlank) {
        const Bytes blank = BlankBytes(n);
        ExpectThat(blank.size() == static_cast<std::size_t>(std::max(n, 0)) &&
                       std::all_of(blank.begin(), blank.end(), [](auto b) { return b == 0; }),
                   Call("BlankBytes").With(n), "n zero bytes, none for n <= 0");
        ExpectSame(Call("BlankText").With(n), BlankText(n),
                   std::string(static_cast<std::size_t>(std::max(n, 0)), ' '));
    }
    ExpectThat(ConcatBytes(front, back) == buffer &&
                   ConcatBytes(Bytes{}, buffer, Bytes{}) == buffer,
               onBuffer, "ConcatBytes: the buffers in order");
    ExpectSame(Call("CompareBytes").With(Shown(front)).With(Shown(back)), CompareBytes(front, back),
               CompareByRules(front, back));
    ExpectSame(Call("CompareBytes").With(Shown(buffer)).With(Shown(buffer)),
               CompareBytes(buffer, buffer), 0);

    ExpectThat(ToBytes(text) == Bytes(text.begin(), text.end()), Call("ToBytes").With(text),
               "the text's bytes");
    ExpectSame(Call("ToText").With(Shown(buffer)), ToText(buffer),
               std::string(rest.substr(0, rest.find('\0'))));
    ExpectSame(Call("ToText").With(text), ToText(text), std::string(text));
    char printed[64];
    std::snprintf(printed, sizeof printed, "%d", n);
    ExpectSame(Call("ToText").With(n), ToText(n), std::string(printed));
    double number;
    const std::uint64_t bits = static_cast<std::uint64_t>(static_cast<std::uint32_t>(n)) << 32 |
                               static_cast<std::uint32_t>(m);
    std::memcpy(&number, &bits, sizeof number);
    std::snprintf(printed, sizeof printed, "%.13g", number);
    ExpectSame(Call("ToText(double)").With(printed), ToText(number), std::string(printed));
    ExpectSame(Call("ToInteger").With(text), ToInteger(text), reference::ToInteger(text));

    TextArray list;
    ArrayAppend(list, text);
    ArrayAppend(list, "");
    ArrayAppend(list, ToText(buffer));
    ExpectThat(ArrayCount(list) == 3 && list.At(1) == text && list.At(2).empty() &&
                   list.At(3) == ToText(buffer),
               Call("ArrayAppend").With(text), "each element a copy, in order");
    return 0;
}

} // namespace tavenro
