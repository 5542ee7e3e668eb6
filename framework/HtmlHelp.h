// The help file, opened through the HTML Help control, which is loaded only
// when help is first asked for. Where the control cannot be loaded, help does
// nothing.
#pragma once

#include <windows.h>

namespace qx {

// The help file's name, without a directory: the control finds it beside the
// program.
inline constexpr char kHelpFileName[] = "qx_front.chm";

// HtmlHelpA of the control, or null when it cannot be loaded. The control
// stays loaded for the rest of the process once found.
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
HtmlHelpFunction LoadHtmlHelp();

// Opens the contents of the help file, owned by owner. Returns the help
// window, or null when nothing could be opened.
HWND ShowHelpContents(HWND owner);

}  // namespace qx
