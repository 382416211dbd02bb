// MergeCookies and its helpers over arbitrary kept and fresh lists, against
// the rules; both variables are checked.
// Fields: kept list, fresh list, separator for JoinDistinct.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "text/text.h"
#include "web/cookies.h"

namespace tavenro {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Call;
    using fuzz::ExpectSame;
    fuzz::Fields fields(data, size);
    const std::string_view keptGiven = fields.Text();
    const std::string_view freshGiven = fields.Text();
    const std::string_view separator = fields.Text();

    Text kept(keptGiven), fresh(freshGiven);
    std::string keptByRules(keptGiven), freshByRules(freshGiven);
    const Text merged = MergeCookies(kept, fresh);
    const std::string mergedByRules = reference::MergeCookies(keptByRules, freshByRules);
    const Call merge = Call("MergeCookies").With(keptGiven).With(freshGiven);
    ExpectSame(merge, merged, mergedByRules);
    ExpectSame(Call(merge).With("kept variable"), kept, keptByRules);
    ExpectSame(Call(merge).With("fresh variable"), fresh, freshByRules);

    ExpectSame(Call("CookieNameOf").With(keptGiven), CookieNameOf(keptGiven),
               reference::CookieNameOf(keptGiven));
    ExpectSame(Call("JoinDistinct").With(freshGiven).With(separator),
               JoinDistinct(freshGiven, separator), reference::JoinDistinct(freshGiven, separator));

    const TextArray entries = SplitText(keptGiven, ";");
    const Text name = CookieNameOf(freshGiven);
    bool named = false;
    int position = -1;
    for (int i = ArrayCount(entries); i >= 1; --i) {
        named = named || reference::CookieNameOf(entries.At(i)) == name;
        if (entries.At(i) == freshGiven)
            position = i;
    }
    ExpectSame(Call("HasCookieNamed").With(keptGiven).With(name), HasCookieNamed(entries, name),
               named);
    ExpectSame(Call("PositionInList").With(keptGiven).With(freshGiven),
               PositionInList(entries, freshGiven), position);
    return 0;
}

} // namespace tavenro
