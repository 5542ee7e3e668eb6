// Where a dialog goes when it centres itself: over a reference rectangle (its
// owner, or the work area), then moved as needed to lie inside the work area.
// Only the position is computed; the size never changes. No <windows.h>.
#pragma once

namespace qx {

struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;
};

// The top-left corner for a window of the size of `window` centred over
// `over` (each half truncated) and then kept inside `workArea`: pushed right
// or down onto the work area's left or top edge when it would start before
// it, else pulled left or up so that it ends at the right or bottom edge when
// it would end beyond it.
ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& over, const ScreenRect& workArea);

}  // namespace qx
