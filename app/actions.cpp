#include "app/actions.h"

#include "app/constants.h"
#include "text/text.h"

namespace tavenro {

namespace {

constexpr int kAddressColumn = 2;

} // namespace

Text MakerSiteAddress() {
    return ConcatText({"http://", kMakerSiteHost, "/?qzone"});
}

Text GroupInviteAddress() {
    return ConcatText({"http://", kGroupInviteHost, "/wpa/qunwpa?idkey=", kGroupKey});
}

Text CreditLine() {
    return ConcatText({"官方网站：", kMakerSiteHost});
}

void CopySelectedAddress(Desktop& desktop, ResultList& songs, bool showAddress) {
    const int row = songs.SelectedItem();
    if (row < 0)
        return;
    desktop.SetClipboardText(songs.GetItemText(row, kAddressColumn));
    if (!showAddress)
        return;
    // Read back, so the message shows what the clipboard really holds (the
    // old content when another program kept it open).
    const Text shown = desktop.GetClipboardText();
    desktop.ShowMessage(ConcatText({kCopyMessageHead, shown, kCopyMessageTail}));
}

void OpenMakerSite(Desktop& desktop) {
    desktop.OpenUrl(MakerSiteAddress());
}

void OpenGroupInvite(Desktop& desktop) {
    desktop.OpenUrl(GroupInviteAddress());
}

} // namespace tavenro
