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

    {
        const ListDrawingHold hold(list.Window());
        const int rowCount = list.RowCount();
        for (int row = 0; row < rowCount; ++row) {
            list.SetRowData(row, row);
        }
        ReadSortKeys(rowCount);
        const PFNLVCOMPARE compare = numericColumn[column] == 1 ? &CompareIntegers : &CompareText;
        list.SortRows(compare, reinterpret_cast<LPARAM>(this));
        sortTexts_ = {};
        sortValues_ = {};
    }
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

void SortableListView::ReadSortKeys(int rowCount) {
    const ListControl list = List();
    const bool numeric = numericColumn[sortColumn] == 1;
    char cell[kTextCellSize];
    for (int row = 0; row < rowCount; ++row) {
        list.CellText(row, sortColumn, cell, numeric ? kIntegerCellSize : kTextCellSize);
        if (numeric) {
            sortValues_.push_back(IntegerCellValue(cell));
        } else {
            sortTexts_.emplace_back(cell);
        }
    }
}

int CALLBACK SortableListView::CompareText(LPARAM first, LPARAM second, LPARAM self) {
    const auto* view = reinterpret_cast<const SortableListView*>(self);
    const char* a = view->sortTexts_[static_cast<std::size_t>(first)].c_str();
    const char* b = view->sortTexts_[static_cast<std::size_t>(second)].c_str();
    return view->ascending[view->sortColumn] == 1 ? lstrcmpA(a, b) : lstrcmpA(b, a);
}

int CALLBACK SortableListView::CompareIntegers(LPARAM first, LPARAM second, LPARAM self) {
    const auto* view = reinterpret_cast<const SortableListView*>(self);
    const std::int32_t a = view->sortValues_[static_cast<std::size_t>(first)];
    const std::int32_t b = view->sortValues_[static_cast<std::size_t>(second)];
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return view->ascending[view->sortColumn] == 1 ? order : -order;
}

}  // namespace qx
