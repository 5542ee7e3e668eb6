#include "framework/ControlWrapper.h"

#include <unordered_map>

namespace qx {

namespace {

// What the shared window procedure needs for a subclassed control: the wrapper
// that holds it (null once the wrapper has let go while a later subclass still
// calls through ours) and the window procedure ours replaced.
struct Binding {
    ControlWrapper* wrapper;
    WNDPROC previous;
};

// The controls this process has subclassed. Kept in the process rather than in
// window properties because the window procedure looks its control up for
// every message, and a property lookup can cost a call into the window system
// (a server round trip under Wine). Controls may be bound on one thread and
// receive messages on another, so the table is locked; the lock is never held
// while a wrapper or a window procedure runs.
class BindingTable {
public:
    bool Find(HWND window, Binding& binding) {
        AcquireSRWLockShared(&lock_);
        const auto found = bindings_.find(window);
        const bool exists = found != bindings_.end();
        if (exists) {
            binding = found->second;
        }
        ReleaseSRWLockShared(&lock_);
        return exists;
    }

    // False when the window already has an entry.
    bool Add(HWND window, const Binding& binding) {
        AcquireSRWLockExclusive(&lock_);
        const bool added = bindings_.emplace(window, binding).second;
        ReleaseSRWLockExclusive(&lock_);
        return added;
    }

    void ForgetWrapper(HWND window) {
        AcquireSRWLockExclusive(&lock_);
        const auto found = bindings_.find(window);
        if (found != bindings_.end()) {
            found->second.wrapper = nullptr;
        }
        ReleaseSRWLockExclusive(&lock_);
    }

    void Remove(HWND window) {
        AcquireSRWLockExclusive(&lock_);
        bindings_.erase(window);
        ReleaseSRWLockExclusive(&lock_);
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::unordered_map<HWND, Binding> bindings_;
};

BindingTable& Bindings() {
    static BindingTable table;
    return table;
}

// The messages a dialog hands back to a wrapped child. Only these are answered
// for the parent when the wrapper leaves them; every other message, the common
// controls' own CCM_ range beside them included, goes to the control.
bool IsReflectedMessage(UINT message) {
    switch (message) {
    case ReflectedMessage(WM_COMMAND):
    case ReflectedMessage(WM_NOTIFY):
    case ReflectedMessage(WM_DRAWITEM):
    case ReflectedMessage(WM_MEASUREITEM):
    case ReflectedMessage(WM_COMPAREITEM):
    case ReflectedMessage(WM_DELETEITEM):
    case ReflectedMessage(WM_CTLCOLORMSGBOX):
    case ReflectedMessage(WM_CTLCOLOREDIT):
    case ReflectedMessage(WM_CTLCOLORLISTBOX):
    case ReflectedMessage(WM_CTLCOLORBTN):
    case ReflectedMessage(WM_CTLCOLORSCROLLBAR):
    case ReflectedMessage(WM_CTLCOLORSTATIC):
        return true;
    default:
        return false;
    }
}

}  // namespace

ControlWrapper::~ControlWrapper() {
    Unbind();
}

bool ControlWrapper::Bind(HWND control) {
    if (window_ != nullptr || control == nullptr || !IsWindow(control)) {
        return false;
    }
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    // A control that a wrapper holds, or once held while another subclass came
    // after it, keeps its entry until it is destroyed and cannot be bound again.
    if (previous == nullptr || !Bindings().Add(control, Binding{this, previous})) {
        return false;
    }
    window_ = control;
    previousProcedure_ = previous;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWrapper::WindowProcedure));
    return true;
}

ControlWrapper* ControlWrapper::FromWindow(HWND window) {
    Binding binding{};
    return Bindings().Find(window, binding) ? binding.wrapper : nullptr;
}

LRESULT ControlWrapper::CallPreviousProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(previousProcedure_, window_, message, wParam, lParam);
}

void ControlWrapper::Unbind() {
    if (window_ == nullptr) {
        return;
    }
    // Put the previous procedure back only while ours is the current one. When
    // the control was subclassed again after us, our procedure stays in that
    // chain and forwards everything through the remembered procedure.
    if (GetWindowLongPtrA(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ControlWrapper::WindowProcedure)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
        Bindings().Remove(window_);
    } else {
        Bindings().ForgetWrapper(window_);
    }
    window_ = nullptr;
    previousProcedure_ = nullptr;
}

LRESULT CALLBACK ControlWrapper::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Binding binding{};
    if (!Bindings().Find(window, binding)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (binding.wrapper != nullptr && message != WM_NCDESTROY) {
        LRESULT result = 0;
        if (binding.wrapper->HandleMessage(message, wParam, lParam, result)) {
            return result;
        }
    }
    if (IsReflectedMessage(message)) {
        // A reflected message the wrapper leaves gets the parent's default
        // answer; the control itself would not understand it.
        return 0;
    }
    if (message == WM_NCDESTROY) {
        if (binding.wrapper != nullptr) {
            binding.wrapper->Unbind();
        }
        Bindings().Remove(window);
    }
    return CallWindowProcA(binding.previous, window, message, wParam, lParam);
}

}  // namespace qx
