// Keeping cookies in one text ("a=1; b=2") instead of WinInet's store.
#pragma once

#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// Folds the fresh cookies into the kept list: fresh entries first, then kept
// ones whose names the fresh list lacks; "=deleted" entries dropped, exact
// repeats removed. Both variables lose their blanks; kept receives the merged
// list, which is also returned.
Text MergeCookies(Text& kept, Text& fresh);

// The trimmed text before the first "=" (all of it without one).
[[nodiscard]] Text CookieNameOf(std::string_view entry);

[[nodiscard]] bool HasCookieNamed(const TextArray& entries, std::string_view name);

// The pieces between separators with repeats after the first removed.
[[nodiscard]] Text JoinDistinct(std::string_view text, std::string_view separator);

// 1-based position of the first element equal to item, or -1.
[[nodiscard]] int PositionInList(const TextArray& items, std::string_view item);

} // namespace tavenro
