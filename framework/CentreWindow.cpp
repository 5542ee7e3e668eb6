#include "framework/CentreWindow.h"

#include "framework/Centring.h"

namespace qx {

namespace {

ScreenRect ToScreenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool IsUsableOwner(HWND owner) {
    return owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
}

}  // namespace

void CentreWindow(HWND window, HWND owner) {
    RECT windowRect;
    if (!GetWindowRect(window, &windowRect)) {
        return;
    }
    const bool overOwner = IsUsableOwner(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    RECT overRect = monitor.rcWork;
    if (overOwner && !GetWindowRect(owner, &overRect)) {
        overRect = monitor.rcWork;
    }
    const ScreenPoint position =
        CentredPosition(ToScreenRect(windowRect), ToScreenRect(overRect), ToScreenRect(monitor.rcWork));
    SetWindowPos(window, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace qx
