// A report-view list control that sorts by a clicked column, shows the sort
// arrow in that column's header and paints its rows in alternating bands.
//
// The owner binds it to a template list, marks its integer columns in
// numericColumn and sorts once after the first fill; header clicks then sort
// again. The owning dialog must reflect its child notifications (Dialog does),
// because column clicks and custom drawing arrive here reflected. The wrapper
// owns the rows' item data: it numbers the rows before every sort.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ControlWrapper.h"
#include "controls/ListControl.h"

namespace qx {

class SortableListView : public ControlWrapper {
public:
    static constexpr int kMaxColumns = 32;

    // Row background colours by position: row 0 and every even row darker.
    static constexpr COLORREF kEvenRowColour = RGB(225, 225, 225);
    static constexpr COLORREF kOddRowColour = RGB(245, 245, 245);

    SortableListView() = default;

    // Sorts by `column`, toggling its direction (ascending when ascending[column]
    // was 0), and moves the header arrow there. Columns outside 0 to 31 are
    // ignored.
    void SortByColumn(int column);

    // The column whose header may carry the arrow.
    int sortColumn = 0;
    // 1 when the column is currently sorted ascending.
    int ascending[kMaxColumns] = {};
    // 1 when the column's cells are compared as integers.
    int numericColumn[kMaxColumns] = {};

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static int CALLBACK CompareText(LPARAM first, LPARAM second, LPARAM self);
    static int CALLBACK CompareIntegers(LPARAM first, LPARAM second, LPARAM self);

    // Reads the sort column's cells into the key table, by row index, which
    // numbering has made each row's item data.
    void ReadSortKeys(int rowCount);
    bool OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT& result) const;

    ListControl List() const { return ListControl(Window()); }

    // The sort column's cells while a sort runs, indexed by item data: the
    // comparisons read only these, because the list must not be sent anything
    // but LVM_GETITEM while it sorts. Emptied after each sort.
    std::vector<std::string> sortTexts_;
    std::vector<std::int32_t> sortValues_;
};

}  // namespace qx
