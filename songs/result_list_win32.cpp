#include "songs/result_list_win32.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace tavenro {

namespace {

constexpr int kFirstReadSize = 512;

} // namespace

void ListViewResultList::DeleteAllItems() {
    SendMessageA(listView_, LVM_DELETEALLITEMS, 0, 0);
}

int ListViewResultList::InsertItem(std::optional<int> position, std::string_view caption) {
    const int at = position && *position >= 0 ? *position : ItemCount();
    Text text(caption);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_INDENT;
    item.iItem = at;
    item.pszText = text.data();
    return static_cast<int>(
        SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListViewResultList::SetItemText(int row, int column, std::string_view text) {
    // A negative row names no row; it is not handed to the control, whose
    // messages give -1 meanings of their own.
    if (row < 0)
        return;
    Text copy(text);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendMessageA(listView_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

Text ListViewResultList::GetItemText(int row, int column) {
    if (row < 0)
        return {};
    std::vector<char> buffer(kFirstReadSize);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int length =
            static_cast<int>(SendMessageA(listView_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(&item)));
        // The control converts its text to ANSI into the buffer; a conversion
        // that will not split a double-byte character can stop two bytes
        // short of the end. Only a length that leaves room for one more
        // character of either width is surely the whole text.
        if (length < static_cast<int>(buffer.size()) - 2) {
            const char* read = item.pszText ? item.pszText : buffer.data();
            return Text(read, strnlen(read, static_cast<std::size_t>(length)));
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

int ListViewResultList::ItemCount() {
    return static_cast<int>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewResultList::SelectedItem() {
    return static_cast<int>(
        SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

DrawingHeldBack::DrawingHeldBack(HWND listView)
    : listView_(GetWindowLongPtrA(listView, GWL_STYLE) & WS_VISIBLE ? listView : nullptr) {
    if (listView_)
        SendMessageA(listView_, WM_SETREDRAW, FALSE, 0);
}

// Windows' list view does not repaint by itself when drawing is given back;
// Wine's does, but asking again costs nothing.
DrawingHeldBack::~DrawingHeldBack() {
    if (!listView_)
        return;
    SendMessageA(listView_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(listView_, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

} // namespace tavenro
