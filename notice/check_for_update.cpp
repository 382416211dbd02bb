#include "notice/check_for_update.h"

#include "notice/open_address.h"
#include "text/bytes.h"
#include "web/access_page.h"
#include "web/text_between.h"

#include <cstdlib>

namespace tavenro {

Text NoticePage;
Text LatestVersion;
Text UpdateAddress;
Text PromoAddress;

namespace {

// This build's own announcement page. The reserved .example domain never
// resolves, so until a real page is published there the check finds no
// announcement and the program runs on.
constexpr std::string_view kNoticeUrl = "http://notice.tavenro.example/announcement.html";

constexpr std::string_view kOwnVersion = "V1.0";
constexpr std::string_view kUpdateNotice = "软件已更新，点击确定打开更新网址下载";

void OpenAnnounced(Desktop& desktop, std::string_view field) {
    if (const Text url = AddressToOpen(field); !url.empty())
        desktop.OpenUrl(url);
}

void Release(Text& text) {
    Text().swap(text);
}

} // namespace

Text NoticeUrl() {
    const char* local = std::getenv("TAVENRO_NOTICE_URL");
    return Text(local != nullptr && *local != '\0' ? std::string_view(local) : kNoticeUrl);
}

Text FetchNoticePage(std::string_view url) {
    // Every other argument left out: GET, default headers, no proxy,
    // redirects followed, WinInet's own cookie keeping.
    PageRequest request;
    request.url = url;
    return ToText(AccessPage(request));
}

void CheckForUpdate(Desktop& desktop) {
    NoticePage = FetchNoticePage(NoticeUrl());
    LatestVersion = TextBetween(NoticePage, "[1]", "[1]");
    UpdateAddress = TextBetween(NoticePage, "[2]", "[2]");
    PromoAddress = TextBetween(NoticePage, "[3]", "[3]");

    // No page, an error page or a moved article: nothing was announced, and
    // telling the user of an update would send them to an empty address.
    if (LatestVersion.empty())
        return;

    // The promotional page is shown at every start, ahead of any update.
    OpenAnnounced(desktop, PromoAddress);

    // Exact bytes: "v1.0" or " V1.0" announce another version.
    if (LatestVersion == kOwnVersion)
        return;
    desktop.ShowMessage(kUpdateNotice);
    OpenAnnounced(desktop, UpdateAddress);
    desktop.DestroyMainWindow();
}

void ReleaseNoticeTexts() {
    Release(NoticePage);
    Release(LatestVersion);
    Release(UpdateAddress);
    Release(PromoAddress);
}

} // namespace tavenro
