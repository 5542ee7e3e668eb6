#include "app/ControlWrapper.h"

namespace qx {

namespace {

// Window properties that lead from a control to its wrapper and to the window
// procedure the wrapper replaced.
constexpr char kWrapperProperty[] = "QxControlWrapper";
constexpr char kPreviousProcedureProperty[] = "QxPreviousProcedure";

WNDPROC PreviousProcedureOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedureProperty));
}

bool IsReflectedMessage(UINT message) {
    return message >= kReflectedMessageBase && message < kReflectedMessageBase + WM_USER;
}

}  // namespace

ControlWrapper::~ControlWrapper() {
    Unbind();
}

bool ControlWrapper::Bind(HWND control) {
    if (window_ != nullptr || control == nullptr || !IsWindow(control) || FromWindow(control) != nullptr ||
        PreviousProcedureOf(control) != nullptr) {
        return false;
    }
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    if (previous == nullptr || !SetPropA(control, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previous))) {
        return false;
    }
    if (!SetPropA(control, kWrapperProperty, this)) {
        RemovePropA(control, kPreviousProcedureProperty);
        return false;
    }
    window_ = control;
    previousProcedure_ = previous;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWrapper::WindowProcedure));
    return true;
}

ControlWrapper* ControlWrapper::FromWindow(HWND window) {
    return static_cast<ControlWrapper*>(GetPropA(window, kWrapperProperty));
}

LRESULT ControlWrapper::CallPreviousProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(previousProcedure_, window_, message, wParam, lParam);
}

void ControlWrapper::Unbind() {
    if (window_ == nullptr) {
        return;
    }
    RemovePropA(window_, kWrapperProperty);
    // Put the previous procedure back only while ours is the current one. When
    // the control was subclassed again after us, our procedure stays in that
    // chain and forwards everything through the remembered procedure.
    if (GetWindowLongPtrA(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ControlWrapper::WindowProcedure)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
        RemovePropA(window_, kPreviousProcedureProperty);
    }
    window_ = nullptr;
    previousProcedure_ = nullptr;
}

LRESULT CALLBACK ControlWrapper::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = PreviousProcedureOf(window);
    ControlWrapper* wrapper = FromWindow(window);
    if (wrapper != nullptr && message != WM_NCDESTROY) {
        LRESULT result = 0;
        if (wrapper->HandleMessage(message, wParam, lParam, result)) {
            return result;
        }
    }
    if (IsReflectedMessage(message)) {
        // A reflected message the wrapper does not handle gets the parent's
        // default answer; the control itself would not understand it.
        return 0;
    }
    if (message == WM_NCDESTROY) {
        if (wrapper != nullptr) {
            wrapper->Unbind();
        }
        RemovePropA(window, kPreviousProcedureProperty);
    }
    if (previous == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace qx
