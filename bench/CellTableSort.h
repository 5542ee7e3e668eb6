// The hotel list's sort done from outside SortableListView: the same steps as
// SortableListView::SortByColumn (rows numbered in their item data, the sort
// column's cells read once into a table indexed by the item data, the list's
// own sort with the same comparisons in the same direction), but without the
// wrapper's hold on the list's drawing. Beside the wrapper's own sort it shows
// what that hold and the wrapper's window procedure each cost; the rows end in
// the same order.
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
