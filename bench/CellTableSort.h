// A proposed cheaper way for the hotel list to sort: the same steps as
// SortableListView::SortByColumn (rows numbered in their item data, the
// list's own sort, the same text and integer comparisons in the same
// direction), except that the sort column's texts are read once, before the
// sort, into a table indexed by the item data. Each comparison then reads two
// table entries instead of finding both rows in the list and reading their
// cells, so it costs the same whatever the row count. The comparisons give the
// same results as the wrapper's, so the rows end in the same order.
#pragma once

#include <windows.h>

#include "Figures.h"

namespace qx::bench {

// How long each step of one sort took, in milliseconds.
struct CellTableSortSteps {
    double numbering = 0;  // item data set to the row index, row by row
    double reading = 0;    // the sort column's cells read into the table
    double sorting = 0;    // the list's own sort with the table comparisons
};

// Sorts the list's rows by column, ascending or descending, comparing the
// cells as integers (commas removed) when numeric, else as text (lstrcmpA).
CellTableSortSteps SortWithCellTable(HWND list, int column, bool ascending, bool numeric);

}  // namespace qx::bench
