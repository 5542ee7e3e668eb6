// How a picture fits into a box: scaled down with its aspect ratio kept until
// both sides fit, never enlarged, and centred. The scale is the smaller of the
// two ratios box / picture, which is the ratio of the side that overflows
// more whenever that one alone makes the picture fit, and also fits the
// pictures for which it does not (a 250 x 295 picture in a 150 x 195 box
// overflows both sides by 100 pixels; scaled by its height it would still be
// 165 pixels wide). No <windows.h>.
#pragma once

namespace qx {

struct PictureFit {
    int drawnWidth;
    int drawnHeight;
    int topOffset;
    int leftOffset;
};

// widthPx and heightPx are the picture's natural size. A picture without a
// positive size, or a box without one, fits as nothing: drawn size 0 at the
// box's centre.
PictureFit FitPicture(int widthPx, int heightPx, int boxWidth, int boxHeight);

}  // namespace qx
