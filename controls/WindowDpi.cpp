#include "controls/WindowDpi.h"

#include "controls/DpiScale.h"

namespace qx {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up at run time: older systems and older MinGW headers lack it.
GetDpiForWindowFunction DpiForWindowEntry() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

int DeviceContextDpi(HWND window) {
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return 0;
    }
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi;
}

}  // namespace

int WindowDpi(HWND window) {
    static const GetDpiForWindowFunction dpiForWindow = DpiForWindowEntry();
    if (dpiForWindow != nullptr && window != nullptr) {
        const int dpi = static_cast<int>(dpiForWindow(window));
        if (dpi > 0) {
            return dpi;
        }
    }
    const int dpi = DeviceContextDpi(window);
    return dpi > 0 ? dpi : kStandardDpi;
}

int ScaleToWindow(HWND window, int pixels) {
    return ScaleForDpi(pixels, WindowDpi(window));
}

}  // namespace qx
