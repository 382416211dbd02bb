// What the main window does when the user works its controls, written over
// the desktop and the result table so that it runs the same in every build.
#pragma once

#include "app/desktop.h"
#include "songs/result_list.h"
#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// The three lines shown after a copy: a first line, the address line's label,
// the address, and a hint line.
inline constexpr std::string_view kCopyMessageHead = "链接已复制\r\n歌曲链接地址：";
inline constexpr std::string_view kCopyMessageTail =
    "\r\n请到迅雷下载.或者直接添加到QQ空间背景音乐..";

// "http://", the maker's host, path "/" and the bare query "qzone".
[[nodiscard]] Text MakerSiteAddress();

// "http://", the invitation host, "/wpa/qunwpa" and "idkey=" with the group key.
[[nodiscard]] Text GroupInviteAddress();

// The one line of the credit label: it names the maker's web site.
[[nodiscard]] Text CreditLine();

// Double-click on the result table: the selected row's address goes to the
// clipboard and, when the address message is wanted, what the clipboard then
// holds is shown. Nothing happens without a selected row.
void CopySelectedAddress(Desktop& desktop, ResultList& songs, bool showAddress);

void OpenMakerSite(Desktop& desktop);
void OpenGroupInvite(Desktop& desktop);

} // namespace tavenro
