// Where the small-class list ends: the small-class and detail-class lists lie
// on one line, the detail list over the right part of the small list, which
// is narrowed beside it when it is shown and takes the whole width when not.
#pragma once

namespace qx {

// Pixels at 96 dpi between the small-class list and a shown detail-class list.
inline constexpr int kAreaListGap = 5;

// The right edge of the small-class list, given the detail list's edges (in
// the same coordinates) and the gap in those pixels.
constexpr int SmallClassListRight(int detailLeft, int detailRight, bool detailShown, int gap) {
    return detailShown ? detailLeft - gap : detailRight;
}

}  // namespace qx
