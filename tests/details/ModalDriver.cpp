#include "ModalDriver.h"

#include <commctrl.h>

namespace qx::test {
namespace {

ModalDriver* g_activeDriver = nullptr;

struct DialogSearch {
    int childId;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && IsWindowVisible(window) &&
        GetDlgItem(window, search->childId) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
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

void ModalDriver::Start() {
    g_activeDriver = this;
    stepStarted_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 20, &ModalDriver::Tick);
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_activeDriver != nullptr) {
        g_activeDriver->RunStep();
    }
}

void ModalDriver::RunStep() {
    // A step may pump messages (a click that opens the browser); never re-enter.
    if (running_ || next_ >= steps_.size()) {
        return;
    }
    running_ = true;
    HWND dialog = findDialog_();
    Entry& entry = steps_[next_];
    if (dialog != nullptr && entry.step(dialog)) {
        ++next_;
        stepStarted_ = GetTickCount();
    } else if (GetTickCount() - stepStarted_ > entry.deadlineMs) {
        failures_.push_back(entry.name);
        next_ = steps_.size();
        if (dialog != nullptr) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    running_ = false;
}

HWND FindThreadDialogWithChild(int childId) {
    DialogSearch search{childId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ListCell(HWND list, int row, int column) {
    char text[2048] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace qx::test
