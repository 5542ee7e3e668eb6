#include "app/DialogKeyboardFilter.h"

namespace qx {

bool DialogKeyboardFilter::PreTranslateMessage(MSG* message) {
    if (message == nullptr || IsCancelKey(*message) || !IsWindow(dialog_)) {
        return false;
    }
    // Messages for other windows are left alone (false); the dialog's own are
    // translated and dispatched by the dialog manager itself.
    return IsDialogMessageA(dialog_, message) != FALSE;
}

bool DialogKeyboardFilter::IsCancelKey(const MSG& message) {
    // VK_CANCEL is Ctrl+Break, which the dialog manager treats as Esc.
    return message.message == WM_KEYDOWN && (message.wParam == VK_ESCAPE || message.wParam == VK_CANCEL);
}

}  // namespace qx
