#include "controls/ListControl.h"

#include "controls/WindowDpi.h"

namespace qx {

namespace {

LPARAM Pointer(const void* structure) {
    return reinterpret_cast<LPARAM>(structure);
}

}  // namespace

ListDrawingHold::ListDrawingHold(HWND list) : list_(list) {
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

ListDrawingHold::~ListDrawingHold() {
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int ListControl::InsertColumn(int index, const char* title, int format, int width, int subItem) const {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = format;
    column.pszText = const_cast<char*>(title);
    if (width != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (subItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = subItem;
    }
    return static_cast<int>(SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), Pointer(&column)));
}

int ListControl::RemainingColumnWidth(int fixedWidth) const {
    RECT frame{};
    GetWindowRect(list_, &frame);
    return (frame.right - frame.left) - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE) -
           fixedWidth;
}

void ListControl::InsertColumns(const ListColumn* columns, int count) const {
    const auto scaledWidth = [this](const ListColumn& column) {
        return column.width < 0 ? 0 : ScaleToWindow(list_, column.width);
    };
    int fixedWidth = 0;
    for (int index = 0; index < count; ++index) {
        fixedWidth += scaledWidth(columns[index]);
    }
    const int restWidth = RemainingColumnWidth(fixedWidth);
    for (int index = 0; index < count; ++index) {
        const ListColumn& column = columns[index];
        InsertColumn(index, column.title, column.format, column.width < 0 ? restWidth : scaledWidth(column), index);
    }
}

int ListControl::InsertRow(int index, const char* text, int image) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    if (image != -1) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, Pointer(&item)));
}

bool ListControl::SetCellText(int row, int column, const char* text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), Pointer(&item)) != 0;
}

int ListControl::CellText(int row, int column, char* buffer, int size) const {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), Pointer(&item));
    // Some list implementations fill the whole buffer without a terminator
    // when the text is too long; the last byte always ends the text.
    buffer[size - 1] = '\0';
    return lstrlenA(buffer);
}

int ListControl::NextRow(int start, UINT flags) const {
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

bool ListControl::SetItemState(int row, UINT state, UINT mask) const {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), Pointer(&item)) != 0;
}

int ListControl::SelectedCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListControl::CheckState(int row) const {
    const auto state =
        static_cast<UINT>(SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>(state >> 12) - 1;
}

HIMAGELIST ListControl::SetSmallImageList(HIMAGELIST images) const {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, Pointer(images)));
}

bool ListControl::DeleteAllRows() const {
    return SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0) != 0;
}

bool ListControl::SortRows(PFNLVCOMPARE compare, LPARAM context) const {
    return SendMessageA(list_, LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare)) != 0;
}

int ListControl::RowCount() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

bool ListControl::SetRowData(int row, LPARAM data) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return SendMessageA(list_, LVM_SETITEMA, 0, Pointer(&item)) != 0;
}

HWND ListControl::Header() const {
    return reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
}

int ListControl::HeaderItemFormat(int index) const {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(Header(), HDM_GETITEMA, static_cast<WPARAM>(index), Pointer(&item))) {
        return 0;
    }
    return item.fmt;
}

bool ListControl::SetHeaderItemFormat(int index, int format) const {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    item.fmt = format;
    return SendMessageA(Header(), HDM_SETITEMA, static_cast<WPARAM>(index), Pointer(&item)) != 0;
}

ImageList CreateSmallIconList(HINSTANCE module, int iconId) {
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    ImageList images(ImageList_Create(width, height, ILC_COLOR8 | ILC_MASK, 2, 1));
    if (!images) {
        return images;
    }
    ImageList_SetBkColor(images.get(), RGB(255, 255, 255));
    const IconHandle icon(
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, width, height, 0)));
    if (icon) {
        ImageList_AddIcon(images.get(), icon.get());
    }
    return images;
}

}  // namespace qx
