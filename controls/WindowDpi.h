// The dots per inch a window is drawn at, and a size chosen for 96 dpi scaled
// to it. The program declares itself aware of the system's dpi, so every
// window of it has the system's dpi.
#pragma once

#include <windows.h>

namespace qx {

// GetDpiForWindow where the platform has it (Windows 10 1607 and later); else
// the logical pixels per inch of the window's device context; 96 when neither
// answers.
int WindowDpi(HWND window);

// pixels (chosen for 96 dpi) at the window's dpi.
int ScaleToWindow(HWND window, int pixels);

}  // namespace qx
