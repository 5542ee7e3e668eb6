#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/CentreWindow.h"
#include "framework/ControlWrapper.h"

namespace qx {

namespace {

// Messages whose answer is the dialog procedure's return value itself rather
// than the message result stored in the window.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

Dialog::~Dialog() {
    if (!modal_ && window_ != nullptr && IsWindow(window_)) {
        ::DestroyWindow(window_);
    }
    window_ = nullptr;
}

INT_PTR Dialog::DoModal(HWND owner, int templateId) {
    if (window_ != nullptr) {
        return -1;
    }
    Application& application = Application::Instance();
    modal_ = true;
    application.AddPendingBinding(this);
    const INT_PTR code = DialogBoxParamA(application.ModuleInstance(), MAKEINTRESOURCEA(templateId), owner,
                                         &Dialog::DialogProcedure, 0);
    application.RemovePendingBinding(this);
    window_ = nullptr;
    modal_ = false;
    return code;
}

HWND Dialog::Create(HWND owner, int templateId) {
    if (window_ != nullptr) {
        return nullptr;
    }
    Application& application = Application::Instance();
    modal_ = false;
    application.AddPendingBinding(this);
    HWND created = CreateDialogParamA(application.ModuleInstance(), MAKEINTRESOURCEA(templateId), owner,
                                      &Dialog::DialogProcedure, 0);
    application.RemovePendingBinding(this);
    if (created == nullptr || !IsWindow(created)) {
        window_ = nullptr;
        return nullptr;
    }
    return created;
}

void Dialog::EndDialog(INT_PTR code) {
    if (window_ != nullptr) {
        ::EndDialog(window_, code);
    }
}

void Dialog::DestroyWindow() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

void Dialog::CentreOverOwner() {
    CentreWindow(window_, GetWindow(window_, GW_OWNER));
}

bool Dialog::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = ChildThatSent(message, wParam, lParam);
    if (child == nullptr || GetParent(child) != window_ || ControlWrapper::FromWindow(child) == nullptr) {
        return false;
    }
    result = SendMessageA(child, ReflectedMessage(message), wParam, lParam);
    return true;
}

HWND Dialog::ChildThatSent(UINT message, WPARAM wParam, LPARAM lParam) const {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item != nullptr && item->CtlType != ODT_MENU ? GetDlgItem(window_, static_cast<int>(wParam)) : nullptr;
    }
    case WM_COMPAREITEM:
        return lParam != 0 ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return lParam != 0 ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

Dialog* Dialog::Bound(HWND window) {
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog != nullptr) {
        return dialog;
    }
    dialog = static_cast<Dialog*>(Application::Instance().TakePendingBinding());
    if (dialog != nullptr) {
        dialog->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    }
    return dialog;
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = Bound(window);
    if (dialog == nullptr) {
        return FALSE;
    }
    LRESULT result = 0;
    const bool handled = dialog->RouteMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->window_ = nullptr;
    }
    if (!handled) {
        // Without an initialisation handler the platform sets the default focus.
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace qx
