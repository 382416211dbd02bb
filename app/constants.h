// The addresses the main window's links open, each written only here. The
// hosts lie under the reserved .example domain until the maker's real ones
// are filled in.
#pragma once

#include <string_view>

namespace tavenro {

// The maker's web site; the credit line names it and opens it.
inline constexpr std::string_view kMakerSiteHost = "www.tavenro.example";

// The QQ group-invitation service and the maker's group on it.
inline constexpr std::string_view kGroupInviteHost = "qun.tavenro.example";
inline constexpr std::string_view kGroupKey =
    "4fe8e16208c22fa7770e47d0a03c1dde1035c2fd285a0810d366c67a3b418fff";

} // namespace tavenro
