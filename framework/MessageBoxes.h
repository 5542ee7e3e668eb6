// The one way the program tells the user something: a message box with an OK
// button, a text, a caption and an icon, owned by the dialog in which the
// failure arose.
#pragma once

#include <windows.h>

namespace qx {

// icon: MB_ICONINFORMATION or MB_ICONWARNING. Returns when the user has
// closed the box.
void ShowMessageBox(HWND owner, const char* text, const char* caption, UINT icon);

}  // namespace qx
