#include "framework/MessageBoxes.h"

namespace qx {

void ShowMessageBox(HWND owner, const char* text, const char* caption, UINT icon) {
    MessageBoxA(owner, text, caption, MB_OK | (icon & MB_ICONMASK));
}

}  // namespace qx
