// Dialogs from templates, bound to their objects, with a message map.
//
// A dialog is a class derived from DialogImpl<itself> with one message map:
//
//   class ExampleDialog : public qx::DialogImpl<ExampleDialog> {
//   public:
//       static const MessageMap kMessageMap;
//   private:
//       LRESULT OnInitDialog(WPARAM, LPARAM);   // TRUE: let the platform set the focus
//       void OnOk();
//       LRESULT OnListDoubleClick(NMHDR* header);
//   };
//
//   const ExampleDialog::MessageMap ExampleDialog::kMessageMap = {
//       OnMessage(WM_INITDIALOG, &ExampleDialog::OnInitDialog),
//       OnCommand(IDOK, &ExampleDialog::OnOk),                 // any notification code
//       OnCommandCode(IDC_NAME, EN_SETFOCUS, &ExampleDialog::OnNameFocus),
//       OnNotify(IDC_LIST, NM_DBLCLK, &ExampleDialog::OnListDoubleClick),
//       OnNotify(qx::kAnyControl, LVN_ITEMCHANGED, &ExampleDialog::OnItemChanged),
//   };
//
// Entries are tried in order; the first that matches handles the message.
// A message handler's answer is what the dialog answers (for WM_INITDIALOG
// and the WM_CTLCOLOR messages it is the dialog procedure's own return value,
// so 0 there leaves the platform's default; a dialog without a WM_INITDIALOG
// entry gets the default focus). A command or notification from a
// child that no entry handles, and the child's owner-draw and colour messages,
// are reflected to the child when a ControlWrapper holds it; otherwise the
// platform's default applies.
//
// Running: DoModal(owner, templateId) returns the code given to EndDialog
// (-1 when the dialog could not be created); Create(owner, templateId) makes a
// modeless dialog and returns its window, or null when it could not be created
// or destroyed itself during its initialisation; DestroyWindow ends it.
// Templates come from the application object's module instance.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>
#include <vector>

namespace qx {

// Matches a notification from any child.
constexpr int kAnyControl = -0x7FFF;

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    // Destroys a modeless dialog's window if it still exists.
    virtual ~Dialog();

    INT_PTR DoModal(HWND owner, int templateId);
    HWND Create(HWND owner, int templateId);

    HWND Window() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }

    // Ends a modal dialog; DoModal then returns code.
    void EndDialog(INT_PTR code);
    // Destroys a modeless dialog's window.
    void DestroyWindow();
    // Centres the dialog over its owner (see CentreWindow).
    void CentreOverOwner();

protected:
    Dialog() = default;

    // True when the message map handled the message, with its answer in result.
    virtual bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // Hands a child's message back to the wrapper that holds the child.
    bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static Dialog* Bound(HWND window);
    HWND ChildThatSent(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND window_ = nullptr;
    bool modal_ = false;
};

template <class T>
class DialogImpl : public Dialog {
public:
    struct MessageEntry {
        enum class Kind { Message, Command, CommandCode, Notify };
        Kind kind;
        UINT message;
        int id;
        UINT code;
        LRESULT (T::*onMessage)(WPARAM, LPARAM);
        void (T::*onCommand)();
        LRESULT (T::*onNotify)(NMHDR*);
    };
    using MessageMap = std::vector<MessageEntry>;

protected:
    static MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
        return {MessageEntry::Kind::Message, message, 0, 0, handler, nullptr, nullptr};
    }
    static MessageEntry OnCommand(int id, void (T::*handler)()) {
        return {MessageEntry::Kind::Command, WM_COMMAND, id, 0, nullptr, handler, nullptr};
    }
    static MessageEntry OnCommandCode(int id, UINT code, void (T::*handler)()) {
        return {MessageEntry::Kind::CommandCode, WM_COMMAND, id, code, nullptr, handler, nullptr};
    }
    static MessageEntry OnNotify(int id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
        return {MessageEntry::Kind::Notify, WM_NOTIFY, id, code, nullptr, nullptr, handler};
    }

    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        T& dialog = static_cast<T&>(*this);
        for (const MessageEntry& entry : T::kMessageMap) {
            if (Matches(entry, message, wParam, lParam)) {
                result = Call(dialog, entry, wParam, lParam);
                return true;
            }
        }
        return ReflectToControl(message, wParam, lParam, result);
    }

private:
    static bool Matches(const MessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
        if (entry.message != message) {
            return false;
        }
        switch (entry.kind) {
        case MessageEntry::Kind::Message:
            return true;
        case MessageEntry::Kind::Command:
            return LOWORD(wParam) == static_cast<WORD>(entry.id);
        case MessageEntry::Kind::CommandCode:
            return LOWORD(wParam) == static_cast<WORD>(entry.id) && HIWORD(wParam) == entry.code;
        case MessageEntry::Kind::Notify: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header != nullptr && header->code == entry.code &&
                   (entry.id == kAnyControl || header->idFrom == static_cast<UINT_PTR>(entry.id));
        }
        }
        return false;
    }

    static LRESULT Call(T& dialog, const MessageEntry& entry, WPARAM wParam, LPARAM lParam) {
        switch (entry.kind) {
        case MessageEntry::Kind::Message:
            return (dialog.*entry.onMessage)(wParam, lParam);
        case MessageEntry::Kind::Command:
        case MessageEntry::Kind::CommandCode:
            (dialog.*entry.onCommand)();
            return 0;
        case MessageEntry::Kind::Notify:
            return (dialog.*entry.onNotify)(reinterpret_cast<NMHDR*>(lParam));
        }
        return 0;
    }
};

}  // namespace qx
