#include "controls/PictureFit.h"

namespace qx {

PictureFit FitPicture(int widthPx, int heightPx, int boxWidth, int boxHeight) {
    int drawnWidth = 0;
    int drawnHeight = 0;
    if (widthPx > 0 && heightPx > 0 && boxWidth > 0 && boxHeight > 0) {
        const double widthScale = static_cast<double>(boxWidth) / widthPx;
        const double heightScale = static_cast<double>(boxHeight) / heightPx;
        double scale = widthScale < heightScale ? widthScale : heightScale;
        if (scale > 1.0) {
            scale = 1.0;
        }
        drawnWidth = static_cast<int>(widthPx * scale);
        drawnHeight = static_cast<int>(heightPx * scale);
    }
    return {drawnWidth, drawnHeight, (boxHeight - drawnHeight) / 2, (boxWidth - drawnWidth) / 2};
}

}  // namespace qx
