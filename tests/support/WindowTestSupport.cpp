#include "tests/support/WindowTestSupport.h"

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "framework/Application.h"

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

namespace {

// Copies a rectangle of the window's client area into `pixels` (0x00BBGGRR,
// top row first); false when it cannot be read.
bool CopyClientArea(HWND window, int x, int y, int width, int height, std::vector<std::uint32_t>& pixels) {
    HDC windowDc = GetDC(window);
    if (windowDc == nullptr || width <= 0 || height <= 0) {
        if (windowDc != nullptr) {
            ReleaseDC(window, windowDc);
        }
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bool copied = false;
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memoryDc != nullptr && section != nullptr) {
        HGDIOBJ old = SelectObject(memoryDc, section);
        if (BitBlt(memoryDc, 0, 0, width, height, windowDc, x, y, SRCCOPY)) {
            GdiFlush();
            const auto* bgrx = static_cast<const std::uint32_t*>(bits);
            pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                pixels[i] = ((bgrx[i] >> 16) & 0xFF) | (bgrx[i] & 0xFF00) | ((bgrx[i] & 0xFF) << 16);
            }
            copied = true;
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
    return copied;
}

}  // namespace

std::uint32_t ClientPixel(HWND window, int x, int y) {
    std::vector<std::uint32_t> pixel;
    return CopyClientArea(window, x, y, 1, 1, pixel) ? pixel[0] : 0xFFFFFFFFu;
}

std::uint32_t ClientCapture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0xFFFFFFFFu;
    }
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

ClientCapture CaptureClient(HWND window) {
    ClientCapture capture;
    RECT client;
    if (GetClientRect(window, &client) &&
        CopyClientArea(window, 0, 0, client.right, client.bottom, capture.pixels)) {
        capture.width = client.right;
        capture.height = client.bottom;
    }
    return capture;
}

bool ColoursClose(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance) {
            return false;
        }
    }
    return true;
}

std::string TemporaryPath(const char* name) {
    char directory[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof(directory), directory);
    if (length == 0 || length >= sizeof(directory)) {
        return std::string();
    }
    return std::string(directory) + name;
}

bool WriteFileBytes(const std::string& path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return complete;
}

std::string WriteResourceFile(int resource, const char* name) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL data = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    const std::string path = TemporaryPath(name);
    if (bytes == nullptr || path.empty() || !WriteFileBytes(path, bytes, SizeofResource(nullptr, found))) {
        return std::string();
    }
    return path;
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
