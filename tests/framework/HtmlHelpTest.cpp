#include "framework/HtmlHelp.h"

#include <gtest/gtest.h>

#include <vector>

namespace qx {
namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The control is found by its registered class or its file name, and its entry
// point by ordinal; the same entry is handed out every time.
TEST(HtmlHelp, LoadsTheControlsEntryPointOnce) {
    const HtmlHelpFunction first = LoadHtmlHelp();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadHtmlHelp(), first);
    HMODULE control = GetModuleHandleA("hhctrl.ocx");
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(first),
              reinterpret_cast<void*>(GetProcAddress(control, MAKEINTRESOURCEA(14))));
}

// Beside the test program there is no help file: nothing opens and nothing is left behind.
TEST(HtmlHelp, MissingHelpFileOpensNothing) {
    const std::vector<HWND> before = ThreadWindows();
    EXPECT_EQ(ShowHelpContents(nullptr), nullptr);
    EXPECT_EQ(ThreadWindows(), before);
}

}  // namespace
}  // namespace qx
