// Sizes the program sets in pixels are chosen for 96 dots per inch, the
// platform's standard; on a screen of more dots per inch they grow with it.
// No <windows.h>.
#pragma once

namespace qx {

inline constexpr int kStandardDpi = 96;

// pixels (chosen for 96 dpi) at dpi, rounded to the nearest pixel with halves
// away from zero, as the platform's MulDiv rounds. At 96 dpi, and for a dpi
// that is not positive, the size is returned unchanged.
int ScaleForDpi(int pixels, int dpi);

}  // namespace qx
