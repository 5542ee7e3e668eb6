// Helpers for tests that drive real windows in this process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qx::test {

// Dispatches every message already in this thread's queue (a WM_QUIT too is
// taken off, so it cannot end a later modal loop), then returns.
void PumpPendingMessages();

// Shows the window, brings it to the top and has it and its children painted.
void ShowAndPaint(HWND window);

// The colour of one pixel of a window's client area as it is on screen
// (0x00BBGGRR), or 0xFFFFFFFF when it cannot be read.
std::uint32_t ClientPixel(HWND window, int x, int y);

// A copy of a window's client area as it is on screen.
struct ClientCapture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00BBGGRR, row by row from the top

    // 0xFFFFFFFF outside the capture.
    std::uint32_t At(int x, int y) const;
};
ClientCapture CaptureClient(HWND window);

// True when each channel of the two colours differs by at most `tolerance`.
bool ColoursClose(std::uint32_t a, std::uint32_t b, int tolerance);

// A file of that name in the temporary directory.
std::string TemporaryPath(const char* name);
// Writes bytes to a new file (replacing one of the same name).
bool WriteFileBytes(const std::string& path, const void* bytes, DWORD size);
// Writes an RCDATA resource of this program to a temporary file of that name
// and answers its path (empty when the resource cannot be written).
std::string WriteResourceFile(int resource, const char* name);

// Resizes a window so that its client area has exactly this size.
void SetClientSize(HWND window, int width, int height);

}  // namespace qx::test
