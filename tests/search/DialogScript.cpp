#include "DialogScript.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/WindowTestSupport.h"

namespace qx::test {
namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsDialogWindow(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

BOOL CALLBACK CollectVisibleDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && IsDialogWindow(window)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleDialogs(DWORD thread) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(thread, CollectVisibleDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

bool IsMessageBox(HWND window) {
    return GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

UINT MessageBoxIcon(HWND box) {
    HICON shown = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    }
    if (shown != nullptr && shown == LoadIconA(nullptr, IDI_WARNING)) {
        return MB_ICONWARNING;
    }
    if (shown != nullptr && shown == LoadIconA(nullptr, IDI_INFORMATION)) {
        return MB_ICONINFORMATION;
    }
    return 0;
}

}  // namespace

std::atomic<const std::function<void()>*> DialogScript::pendingTask_{nullptr};

INT_PTR DialogScript::Run(const std::function<INT_PTR()>& runModal, const std::function<void(DialogScript&)>& script) {
    DialogScript driver(GetCurrentThreadId());
    const UINT_PTR taskTimer = SetTimer(nullptr, 0, kPollMs, &DialogScript::RunPendingTask);
    std::atomic<bool> modalEnded{false};
    std::thread worker([&] {
        script(driver);
        while (!modalEnded) {
            driver.CancelOpenDialogs();
            Sleep(kPollMs * 5);
        }
    });
    const INT_PTR result = runModal();
    modalEnded = true;
    worker.join();
    KillTimer(nullptr, taskTimer);
    PumpPendingMessages();
    return result;
}

void CALLBACK DialogScript::RunPendingTask(HWND, UINT, UINT_PTR, DWORD) {
    const std::function<void()>* task = pendingTask_.load();
    if (task != nullptr) {
        (*task)();
        pendingTask_ = nullptr;
    }
}

bool DialogScript::OnDialogThread(const std::function<void()>& task, DWORD timeoutMs) {
    pendingTask_ = &task;
    if (WaitUntil([] { return pendingTask_.load() == nullptr; }, timeoutMs)) {
        return true;
    }
    pendingTask_ = nullptr;
    ADD_FAILURE() << "the test thread did not run the task";
    return false;
}

bool DialogScript::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

HWND DialogScript::WaitForDialog(const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs(uiThread_)) {
                if (ControlText(dialog) == caption) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    EXPECT_NE(found, nullptr) << "no dialog " << caption;
    return found;
}

MessageBoxView DialogScript::WaitForMessageBox(HWND owner, DWORD timeoutMs) {
    MessageBoxView view;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs(uiThread_)) {
                if (IsMessageBox(dialog) && GetWindow(dialog, GW_OWNER) == owner) {
                    view.window = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    EXPECT_NE(view.window, nullptr) << "no message box";
    if (view.window != nullptr) {
        view.text = ControlText(GetDlgItem(view.window, kMessageBoxTextId));
        view.caption = ControlText(view.window);
        view.icon = MessageBoxIcon(view.window);
    }
    return view;
}

bool DialogScript::WaitUntilClosed(HWND window, DWORD timeoutMs) {
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void DialogScript::Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void DialogScript::PostCommand(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DialogScript::ChooseComboItem(HWND dialog, int id, int position) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

HWND DialogScript::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(uiThread_, &info) ? info.hwndFocus : nullptr;
}

void DialogScript::CancelOpenDialogs() const {
    std::vector<HWND> dialogs = VisibleDialogs(uiThread_);
    for (HWND dialog : dialogs) {
        if (IsWindowEnabled(dialog)) {
            PostMessageA(dialog, WM_COMMAND, IsMessageBox(dialog) ? IDOK : IDCANCEL, 0);
        }
    }
}

std::string ControlText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

int ComboCount(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
}

std::string ComboItemText(HWND combo, int position) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length < 0) {
        return "<none>";
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string ComboSelectedText(HWND combo) {
    const int selection = ComboSelection(combo);
    return selection < 0 ? "<none>" : ComboItemText(combo, selection);
}

bool IsButtonChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

SYSTEMTIME PickerDate(HWND picker) {
    SYSTEMTIME date{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    return date;
}

void SetPickerDate(HWND picker, const SYSTEMTIME& date) {
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

int ListRowCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListCellText(HWND list, int row, int column) {
    char text[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int ListStateImage(HWND list, int row) {
    const LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return static_cast<int>((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12);
}

RECT ChildRect(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace qx::test
