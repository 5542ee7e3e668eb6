#include "framework/Application.h"

#include <algorithm>

namespace qx {

Application& Application::Instance() {
    static Application application;
    return application;
}

Application::Application() {
    InitializeCriticalSection(&bindingLock_);
    InitializeCriticalSection(&loopLock_);
}

Application::~Application() {
    DeleteCriticalSection(&loopLock_);
    DeleteCriticalSection(&bindingLock_);
}

void Application::Initialise(HINSTANCE moduleInstance) {
    moduleInstance_ = moduleInstance;
}

void Application::Release() {
    {
        Lock lock(bindingLock_);
        pendingBindings_.clear();
    }
    Lock lock(loopLock_);
    loops_.clear();
}

void Application::AddPendingBinding(void* object) {
    Lock lock(bindingLock_);
    pendingBindings_.push_back({object, GetCurrentThreadId()});
}

void* Application::TakePendingBinding() {
    const DWORD thread = GetCurrentThreadId();
    Lock lock(bindingLock_);
    for (auto entry = pendingBindings_.rbegin(); entry != pendingBindings_.rend(); ++entry) {
        if (entry->threadId == thread) {
            void* object = entry->object;
            pendingBindings_.erase(std::next(entry).base());
            return object;
        }
    }
    return nullptr;
}

void Application::RemovePendingBinding(void* object) {
    const DWORD thread = GetCurrentThreadId();
    Lock lock(bindingLock_);
    pendingBindings_.erase(std::remove_if(pendingBindings_.begin(), pendingBindings_.end(),
                                          [&](const PendingBinding& entry) {
                                              return entry.object == object && entry.threadId == thread;
                                          }),
                           pendingBindings_.end());
}

bool Application::AddMessageLoop(CMessageLoop* loop) {
    const DWORD thread = GetCurrentThreadId();
    Lock lock(loopLock_);
    for (const LoopRegistration& entry : loops_) {
        if (entry.threadId == thread) {
            return false;
        }
    }
    loops_.push_back({loop, thread});
    return true;
}

bool Application::RemoveMessageLoop() {
    const DWORD thread = GetCurrentThreadId();
    Lock lock(loopLock_);
    for (auto entry = loops_.begin(); entry != loops_.end(); ++entry) {
        if (entry->threadId == thread) {
            loops_.erase(entry);
            return true;
        }
    }
    return false;
}

CMessageLoop* Application::MessageLoop() const {
    const DWORD thread = GetCurrentThreadId();
    Lock lock(loopLock_);
    for (const LoopRegistration& entry : loops_) {
        if (entry.threadId == thread) {
            return entry.loop;
        }
    }
    return nullptr;
}

}  // namespace qx
