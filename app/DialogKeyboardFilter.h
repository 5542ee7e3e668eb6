// Gives a modeless dialog the platform's dialog keyboard handling from the
// thread's message loop, as a modal dialog's loop does for it: Tab and
// Shift+Tab move the focus, arrow keys move within a group, Space presses the
// focused button and Enter the default one.
//
// Esc and Ctrl+Break are kept from the dialog manager, which would turn them
// into the cancel command: that command is also what the close box and the
// exit button send, so a window that must not end on Esc could not tell them
// apart. Those keys reach the focused control as without the filter.
#pragma once

#include "app/CMessageLoop.h"

#include <windows.h>

namespace qx {

class DialogKeyboardFilter : public MessageFilter {
public:
    explicit DialogKeyboardFilter(HWND dialog) : dialog_(dialog) {}

    bool PreTranslateMessage(MSG* message) override;

private:
    static bool IsCancelKey(const MSG& message);

    HWND dialog_;
};

}  // namespace qx
