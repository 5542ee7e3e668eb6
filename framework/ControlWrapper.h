// Base of the objects that take over a control of a dialog template.
//
// Bind subclasses the control: from then on the wrapper's HandleMessage sees
// every message of the control first, and whatever it does not handle goes to
// the control's previous window procedure. When the control is destroyed (or
// the wrapper before it) the previous procedure is put back.
//
// A dialog hands the notifications, commands, owner-draw and colour messages
// that a wrapped child sends it back to that child as reflected messages:
// ReflectedMessage(WM_NOTIFY) and so on, with the original wParam and lParam.
// The wrapper answers them like the parent would.
#pragma once

#include <windows.h>

namespace qx {

constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;

constexpr UINT ReflectedMessage(UINT message) {
    return kReflectedMessageBase + message;
}

class ControlWrapper {
public:
    ControlWrapper(const ControlWrapper&) = delete;
    ControlWrapper& operator=(const ControlWrapper&) = delete;
    virtual ~ControlWrapper();

    // False when the control is null or not a window, or when this wrapper or
    // another one already holds it.
    bool Bind(HWND control);
    HWND Window() const { return window_; }

    // The wrapper that holds this window, or null.
    static ControlWrapper* FromWindow(HWND window);

protected:
    ControlWrapper() = default;

    // True when the message was handled, with its answer in result.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    LRESULT CallPreviousProcedure(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Unbind();

    HWND window_ = nullptr;
    WNDPROC previousProcedure_ = nullptr;
};

}  // namespace qx
