#include "controls/SortableListView.h"

#include "controls/IntegerCellValue.h"

namespace qx {

namespace {

// Room for the texts that the comparisons read: 255 characters for text,
// 254 for integers.
constexpr int kTextCellSize = 256;
constexpr int kIntegerCellSize = 255;

bool IsColumn(int column) {
    return column >= 0 && column < SortableListView::kMaxColumns;
}

}  // namespace

void SortableListView::SortByColumn(int column) {
    if (!IsColumn(column) || Window() == nullptr) {
        return;
    }
    const ListControl list = List();
    if (IsColumn(sortColumn)) {
        const int resetAlignment = numericColumn[sortColumn] == 1 ? HDF_RIGHT : HDF_LEFT;
        list.SetHeaderItemFormat(sortColumn, HDF_STRING | resetAlignment);
    }

    sortColumn = column;
    const int format = list.HeaderItemFormat(column);
    const bool wasAscending = ascending[column] == 1;
    ascending[column] = wasAscending ? 0 : 1;
    const int arrowFormat = (format & HDF_JUSTIFYMASK) | HDF_STRING | (wasAscending ? HDF_SORTDOWN : HDF_SORTUP);

    for (int row = 0; row < list.RowCount(); ++row) {
        list.SetRowData(row, row);
    }
    const PFNLVCOMPARE compare = numericColumn[column] == 1 ? &CompareIntegers : &CompareText;
    list.SortRows(compare, reinterpret_cast<LPARAM>(this));
    list.SetHeaderItemFormat(column, arrowFormat);
}

bool SortableListView::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != ReflectedMessage(WM_NOTIFY)) {
        return false;
    }
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    switch (header->code) {
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
        result = 0;
        return true;
    case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), result);
    default:
        return false;
    }
}

bool SortableListView::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT& result) const {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        result = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT:
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 == 1 ? kOddRowColour : kEvenRowColour;
        result = CDRF_DODEFAULT;
        return true;
    case CDDS_POSTPAINT:
    case CDDS_PREERASE:
    case CDDS_POSTERASE:
    case CDDS_ITEMPOSTPAINT:
    case CDDS_ITEMPREERASE:
    case CDDS_ITEMPOSTERASE:
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT:
        result = CDRF_DODEFAULT;
        return true;
    default:
        return false;
    }
}

void SortableListView::ReadSortCell(LPARAM data, char* buffer, int size) const {
    const ListControl list = List();
    const int row = list.FindRowByData(data);
    buffer[0] = '\0';
    if (row >= 0) {
        list.CellText(row, sortColumn, buffer, size);
    }
}

int CALLBACK SortableListView::CompareText(LPARAM first, LPARAM second, LPARAM self) {
    auto* view = reinterpret_cast<SortableListView*>(self);
    view->ReadSortCell(first, view->firstText_, kTextCellSize);
    view->ReadSortCell(second, view->secondText_, kTextCellSize);
    if (view->ascending[view->sortColumn] == 1) {
        return lstrcmpA(view->firstText_, view->secondText_);
    }
    return lstrcmpA(view->secondText_, view->firstText_);
}

int CALLBACK SortableListView::CompareIntegers(LPARAM first, LPARAM second, LPARAM self) {
    auto* view = reinterpret_cast<SortableListView*>(self);
    view->ReadSortCell(first, view->firstText_, kIntegerCellSize);
    view->ReadSortCell(second, view->secondText_, kIntegerCellSize);
    const std::int32_t a = IntegerCellValue(view->firstText_);
    const std::int32_t b = IntegerCellValue(view->secondText_);
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return view->ascending[view->sortColumn] == 1 ? order : -order;
}

}  // namespace qx
