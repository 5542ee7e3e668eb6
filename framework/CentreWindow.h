// Centres a dialog over its owner, or over the work area of its monitor when
// it has no owner or the owner is hidden or minimised, and keeps it inside that
// work area. Only the position changes: no resize, no z-order change, no
// activation.
#pragma once

#include <windows.h>

namespace qx {

void CentreWindow(HWND window, HWND owner);

}  // namespace qx
