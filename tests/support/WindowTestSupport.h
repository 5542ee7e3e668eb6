// Helpers for tests that drive real windows in this process.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qx::test {

// Dispatches every message already in this thread's queue (a WM_QUIT too is
// taken off, so it cannot end a later modal loop), then returns.
void PumpPendingMessages();

// Shows the window, brings it to the top and has it and its children painted.
void ShowAndPaint(HWND window);

// The colour of one pixel of a window's client area as it is on screen
// (0x00BBGGRR), or 0xFFFFFFFF when it cannot be read.
std::uint32_t ClientPixel(HWND window, int x, int y);

// Resizes a window so that its client area has exactly this size.
void SetClientSize(HWND window, int width, int height);

}  // namespace qx::test
