// The application object: one per process.
//
// It holds the module instance that every dialog loads its template and
// resources from, the message loop registered for each user-interface thread,
// and the pending bindings through which a new window finds its object: the
// creator registers (object, its thread id) just before creating the window,
// and the first message that reaches the window takes the entry of that same
// thread off the list. A binding can therefore never be picked up by a window
// of another thread.
#pragma once

#include <windows.h>

#include <vector>

namespace qx {

class CMessageLoop;

class Application {
public:
    static Application& Instance();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void Initialise(HINSTANCE moduleInstance);
    // Drops every pending binding and loop registration.
    void Release();

    HINSTANCE ModuleInstance() const { return moduleInstance_; }

    void AddPendingBinding(void* object);
    // The most recent binding registered by the calling thread, taken off the
    // list; null when this thread has none.
    void* TakePendingBinding();
    // Removes a binding of the calling thread that no window took (the window
    // could not be created).
    void RemovePendingBinding(void* object);

    // One loop per thread; false when the thread already has one.
    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* MessageLoop() const;

private:
    Application();
    ~Application();

    struct PendingBinding {
        void* object;
        DWORD threadId;
    };
    struct LoopRegistration {
        CMessageLoop* loop;
        DWORD threadId;
    };

    // Holds the lock for the life of a scope.
    class Lock {
    public:
        explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
        ~Lock() { LeaveCriticalSection(&section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& section_;
    };

    HINSTANCE moduleInstance_ = nullptr;
    mutable CRITICAL_SECTION bindingLock_;
    mutable CRITICAL_SECTION loopLock_;
    std::vector<PendingBinding> pendingBindings_;
    std::vector<LoopRegistration> loops_;
};

}  // namespace qx
