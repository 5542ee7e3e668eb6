#include "framework/Centring.h"

namespace qx {

namespace {

int CentredStart(int size, int overStart, int overEnd, int areaStart, int areaEnd) {
    int start = overStart + (overEnd - overStart) / 2 - size / 2;
    if (start < areaStart) {
        start = areaStart;
    } else if (start + size > areaEnd) {
        start = areaEnd - size;
    }
    return start;
}

}  // namespace

ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& over, const ScreenRect& workArea) {
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    return {CentredStart(width, over.left, over.right, workArea.left, workArea.right),
            CentredStart(height, over.top, over.bottom, workArea.top, workArea.bottom)};
}

}  // namespace qx
