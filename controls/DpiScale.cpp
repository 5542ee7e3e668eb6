#include "controls/DpiScale.h"

namespace qx {

int ScaleForDpi(int pixels, int dpi) {
    if (dpi <= 0) {
        return pixels;
    }
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kStandardDpi / 2;
    const long long scaled = product >= 0 ? (product + half) / kStandardDpi : -((-product + half) / kStandardDpi);
    return static_cast<int>(scaled);
}

}  // namespace qx
