#include "app/CMessageLoop.h"

#include <algorithm>

namespace qx {

namespace {

// The system timer that blinks the caret.
constexpr UINT kCaretBlinkTimerMessage = 0x0118;

template <class T>
bool AddOnce(std::vector<T*>& list, T* item) {
    if (item == nullptr || std::find(list.begin(), list.end(), item) != list.end()) {
        return false;
    }
    list.push_back(item);
    return true;
}

template <class T>
bool RemoveItem(std::vector<T*>& list, T* item) {
    auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) {
        return false;
    }
    list.erase(found);
    return true;
}

}  // namespace

bool CMessageLoop::AddMessageFilter(MessageFilter* filter) {
    return AddOnce(filters_, filter);
}

bool CMessageLoop::RemoveMessageFilter(MessageFilter* filter) {
    return RemoveItem(filters_, filter);
}

bool CMessageLoop::AddIdleHandler(IdleHandler* handler) {
    return AddOnce(idleHandlers_, handler);
}

bool CMessageLoop::RemoveIdleHandler(IdleHandler* handler) {
    return RemoveItem(idleHandlers_, handler);
}

int CMessageLoop::Run() {
    bool idleArmed = true;
    int idleCount = 0;
    for (;;) {
        while (idleArmed && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) {
                idleArmed = false;
            }
        }
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) {
            continue;
        }
        if (got == 0) {
            break;
        }
        if (!PreTranslateMessage(&message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (IsIdleMessage(message)) {
            idleArmed = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(message.wParam);
}

bool CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A filter may remove itself while it runs, so walk a copy.
    const std::vector<MessageFilter*> filters = filters_;
    for (auto filter = filters.rbegin(); filter != filters.rend(); ++filter) {
        if ((*filter)->PreTranslateMessage(msg)) {
            return true;
        }
    }
    return false;
}

bool CMessageLoop::OnIdle(int) {
    const std::vector<IdleHandler*> handlers = idleHandlers_;
    for (IdleHandler* handler : handlers) {
        handler->OnIdle();
    }
    return false;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kCaretBlinkTimerMessage:
        return false;
    default:
        return true;
    }
}

}  // namespace qx
