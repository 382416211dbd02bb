// The announcement check run from the main window's created event, and the
// exit routine that releases what it read.
#pragma once

#include "app/desktop.h"
#include "text/text_array.h"

#include <string_view>

namespace tavenro {

// What the last check read: the whole page and the text between the first
// two "[1]", "[2]" and "[3]" markers. Empty at start; set by CheckForUpdate,
// released by ReleaseNoticeTexts.
extern Text NoticePage;
extern Text LatestVersion;
extern Text UpdateAddress;
extern Text PromoAddress;

// Reads the maker's announcement page. A page carrying a version opens its
// promotional page, if any; when that version differs from the program's
// own, the user is told of the update, the update page is opened and the
// end of the main window is queued. A page that cannot be read, or that
// carries no version, announces nothing: the program runs on.
void CheckForUpdate(Desktop& desktop);

// Releases the announcement texts; registered as the program's exit routine.
void ReleaseNoticeTexts();

// The announcement page's address: this build's own page, or the value of
// TAVENRO_NOTICE_URL when that is set and not empty (tests and the demo).
[[nodiscard]] Text NoticeUrl();

// The page at the URL (GET), up to its first zero byte; empty when the
// request fails.
[[nodiscard]] Text FetchNoticePage(std::string_view url);

} // namespace tavenro
