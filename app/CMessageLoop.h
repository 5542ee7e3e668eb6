// The thread's message loop, with optional message filters and idle handlers.
//
// Idle processing: whenever the queue is empty and idle processing is armed,
// OnIdle runs once (it always answers false, so each idle period gives exactly
// one pass over the idle handlers). Any message re-arms it except the ones
// that arrive continuously without meaning new work: mouse moves over the
// client and non-client area, paint, and the caret-blink system timer.
#pragma once

#include <windows.h>

#include <vector>

namespace qx {

class MessageFilter {
public:
    // True when the filter consumed the message: it is then neither
    // translated nor dispatched.
    virtual bool PreTranslateMessage(MSG* message) = 0;

protected:
    ~MessageFilter() = default;
};

class IdleHandler {
public:
    virtual bool OnIdle() = 0;

protected:
    ~IdleHandler() = default;
};

class CMessageLoop {
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;
    virtual ~CMessageLoop() = default;

    bool AddMessageFilter(MessageFilter* filter);
    bool RemoveMessageFilter(MessageFilter* filter);
    bool AddIdleHandler(IdleHandler* handler);
    bool RemoveIdleHandler(IdleHandler* handler);

    // Runs until WM_QUIT and answers its wParam.
    int Run();

    // Offers the message to the filters, the most recently added first.
    virtual bool PreTranslateMessage(MSG* message);
    // Calls every idle handler in the order they were added; always false.
    virtual bool OnIdle(int idleCount);

    // False for the messages that do not re-arm idle processing.
    static bool IsIdleMessage(const MSG& message);

    MSG message{};

private:
    std::vector<MessageFilter*> filters_;
    std::vector<IdleHandler*> idleHandlers_;
};

}  // namespace qx
