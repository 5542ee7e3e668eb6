// The list control helpers every dialog with a list uses, each a direct call
// of the corresponding list view (or header) message on the list's window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/ScopedHandles.h"

namespace qx {

// One column of a list set up from a table: its width in pixels at 96 dpi, or
// -1 for the width the other columns leave.
struct ListColumn {
    const char* title;
    int format;
    int width;
};

// A masked image list on white of the system's small-icon size (16×16 at
// 96 dpi) holding the icon iconId of module (empty when the icon cannot be
// loaded); nothing when the list cannot be made.
ImageList CreateSmallIconList(HINSTANCE module, int iconId);

// Holds off a list's drawing while many rows change, so that the list does
// not invalidate each row as it changes (each an exchange with the window
// system); the whole list is invalidated once when the hold ends.
class ListDrawingHold {
public:
    explicit ListDrawingHold(HWND list);
    ~ListDrawingHold();
    ListDrawingHold(const ListDrawingHold&) = delete;
    ListDrawingHold& operator=(const ListDrawingHold&) = delete;

private:
    HWND list_;
};

class ListControl {
public:
    explicit ListControl(HWND list) : list_(list) {}

    HWND Window() const { return list_; }

    // format: LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER. The width and the
    // sub-item index are set only when they are not -1. Answers the new
    // column's index, or -1.
    int InsertColumn(int index, const char* title, int format, int width = -1, int subItem = -1) const;
    // The width left for the last column once fixedWidth is taken: the list's
    // outer width less a vertical scroll bar and the two window edges.
    int RemainingColumnWidth(int fixedWidth) const;
    // Inserts the columns in order, column k with sub-item k, the fixed widths
    // scaled to the list's dpi; a column of width -1 gets what the others leave.
    void InsertColumns(const ListColumn* columns, int count) const;
    // The image index is set only when it is not -1. Answers the new row's
    // index, or -1.
    int InsertRow(int index, const char* text, int image = -1) const;
    bool SetCellText(int row, int column, const char* text) const;
    // Copies at most size - 1 characters and a terminating zero; answers the
    // length copied.
    int CellText(int row, int column, char* buffer, int size) const;
    // The next row after `start` (-1: from the first) with all the given
    // state flags (LVNI_SELECTED, ...), or -1.
    int NextRow(int start, UINT flags) const;
    bool SetItemState(int row, UINT state, UINT mask) const;
    int SelectedCount() const;
    // The row's state image index minus one: 1 checked, 0 unchecked.
    int CheckState(int row) const;
    // Answers the image list the list had before.
    HIMAGELIST SetSmallImageList(HIMAGELIST images) const;
    bool DeleteAllRows() const;
    bool SortRows(PFNLVCOMPARE compare, LPARAM context) const;
    int RowCount() const;
    bool SetRowData(int row, LPARAM data) const;

    HWND Header() const;
    // HDF_ flags of a header item, or 0 when it has none.
    int HeaderItemFormat(int index) const;
    bool SetHeaderItemFormat(int index, int format) const;

private:
    HWND list_;
};

}  // namespace qx
