#include "tests/support/WindowTestSupport.h"

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "app/Application.h"

namespace qx::test {

namespace {

// Prepares COM, the common controls and the application object once for the
// whole test program, as the program's entry does.
class WindowTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitialize(nullptr);
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        Application::Instance().Initialise(GetModuleHandleA(nullptr));
    }
    void TearDown() override {
        Application::Instance().Release();
        CoUninitialize();
    }
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowTestEnvironment);

}  // namespace

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShowAndPaint(HWND window) {
    ShowWindow(window, SW_SHOW);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
}

std::uint32_t ClientPixel(HWND window, int x, int y) {
    HDC windowDc = GetDC(window);
    if (windowDc == nullptr) {
        return 0xFFFFFFFFu;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::uint32_t colour = 0xFFFFFFFFu;
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memoryDc != nullptr && section != nullptr) {
        HGDIOBJ old = SelectObject(memoryDc, section);
        if (BitBlt(memoryDc, 0, 0, 1, 1, windowDc, x, y, SRCCOPY)) {
            GdiFlush();
            const std::uint32_t bgrx = *static_cast<const std::uint32_t*>(bits);
            colour = ((bgrx >> 16) & 0xFF) | (bgrx & 0xFF00) | ((bgrx & 0xFF) << 16);
        }
        SelectObject(memoryDc, old);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    if (memoryDc != nullptr) {
        DeleteDC(memoryDc);
    }
    ReleaseDC(window, windowDc);
    return colour;
}

void SetClientSize(HWND window, int width, int height) {
    RECT client;
    RECT outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    const int extraWidth = (outer.right - outer.left) - client.right;
    const int extraHeight = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + extraWidth, height + extraHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qx::test
