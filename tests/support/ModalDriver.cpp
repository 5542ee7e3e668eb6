#include "ModalDriver.h"

#include "RemoteWindows.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace qx::test {
namespace {

constexpr DWORD kTickMs = 20;
constexpr int kMessageBoxTextId = 0xFFFF;

// The driver whose timer ticks on this thread; one at a time.
ModalDriver* g_activeDriver = nullptr;

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

std::vector<HWND> VisibleDialogsOf(DWORD thread) {
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

HWND DialogWithChild(DWORD thread, int childId) {
    for (HWND dialog : VisibleDialogsOf(thread)) {
        if (GetDlgItem(dialog, childId) != nullptr) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace

ModalDriver::ModalDriver(std::function<HWND()> findDialog) : findDialog_(std::move(findDialog)) {}

ModalDriver::~ModalDriver() {
    if (timer_ != 0) {
        KillTimer(nullptr, timer_);
    }
    if (g_activeDriver == this) {
        g_activeDriver = nullptr;
    }
}

void ModalDriver::Add(std::string name, Step step, DWORD deadlineMs) {
    steps_.push_back({std::move(name), std::move(step), deadlineMs});
}

INT_PTR ModalDriver::Run(const std::function<INT_PTR()>& runModal, const Script& script) {
    uiThread_ = GetCurrentThreadId();
    g_activeDriver = this;
    stepStarted_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, kTickMs, &ModalDriver::Tick);
    std::atomic<bool> modalEnded{false};
    std::thread worker;
    if (script) {
        worker = std::thread([&] {
            script(*this);
            while (!modalEnded) {
                CancelOpenDialogs();
                Sleep(kTickMs * 5);
            }
        });
    }
    const INT_PTR result = runModal();
    modalEnded = true;
    if (worker.joinable()) {
        worker.join();
    }
    KillTimer(nullptr, timer_);
    timer_ = 0;
    g_activeDriver = nullptr;
    PumpPendingMessages();
    return result;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* driver = g_activeDriver;
    if (driver == nullptr || driver->ticking_) {
        return;
    }
    driver->ticking_ = true;
    driver->RunStep();
    driver->RunPendingTask();
    driver->ticking_ = false;
}

void ModalDriver::RunStep() {
    if (next_ >= steps_.size()) {
        return;
    }
    HWND dialog = findDialog_ ? findDialog_() : nullptr;
    Entry& entry = steps_[next_];
    if ((dialog != nullptr || !findDialog_) && entry.step(dialog)) {
        ++next_;
        stepStarted_ = GetTickCount();
    } else if (GetTickCount() - stepStarted_ > entry.deadlineMs) {
        failures_.push_back(entry.name);
        next_ = steps_.size();
        if (dialog != nullptr) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
}

void ModalDriver::RunPendingTask() {
    const std::function<void()>* task = pendingTask_.load();
    if (task != nullptr) {
        (*task)();
        pendingTask_ = nullptr;
    }
}

bool ModalDriver::OnDialogThread(const std::function<void()>& task, DWORD timeoutMs) {
    pendingTask_ = &task;
    if (WaitUntil([this] { return pendingTask_.load() == nullptr; }, timeoutMs)) {
        return true;
    }
    pendingTask_ = nullptr;
    ADD_FAILURE() << "the test thread did not run the task";
    return false;
}

bool ModalDriver::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kTickMs);
    }
    return true;
}

std::vector<HWND> ModalDriver::VisibleDialogs() const {
    return VisibleDialogsOf(uiThread_);
}

HWND ModalDriver::WaitForDialog(const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs()) {
                if (Text(dialog) == caption) {
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

HWND ModalDriver::WaitForDialogWithChild(int childId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = DialogWithChild(uiThread_, childId)) != nullptr; }, timeoutMs);
    EXPECT_NE(found, nullptr) << "no dialog with a child " << childId;
    return found;
}

MessageBoxView ModalDriver::WaitForMessageBox(HWND owner, DWORD timeoutMs) {
    MessageBoxView view;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs()) {
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
        view.text = Text(GetDlgItem(view.window, kMessageBoxTextId));
        view.caption = Text(view.window);
        view.icon = MessageBoxIcon(view.window);
    }
    return view;
}

bool ModalDriver::WaitUntilClosed(HWND window, DWORD timeoutMs) {
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void ModalDriver::CancelOpenDialogs() const {
    for (HWND dialog : VisibleDialogs()) {
        if (IsWindowEnabled(dialog)) {
            PostMessageA(dialog, WM_COMMAND, IsMessageBox(dialog) ? IDOK : IDCANCEL, 0);
        }
    }
}

HWND FindThreadDialogWithChild(int childId) {
    return DialogWithChild(GetCurrentThreadId(), childId);
}

}  // namespace qx::test
