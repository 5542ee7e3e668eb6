// Drives the modal dialogs of the test thread in this process. Run makes the
// modal call on the test thread; meanwhile a thread timer of that thread,
// which keeps firing inside every modal loop, runs
//  - the steps added beforehand, one after the other on the dialog's thread:
//    each runs on a tick with the dialog's window and answers true when it is
//    done; one not done by its deadline is a failure and cancels the dialog;
//  - the tasks that a script hands over with OnDialogThread.
// The script, if any, runs on a worker thread like a user would: it waits for
// windows, reads their controls (tests/support/RemoteWindows.h) and posts
// clicks, so it never waits on a modal window it opens. When it returns (also
// after a failed assertion) every dialog it left open is cancelled, so that
// Run always returns.
//
//   const INT_PTR result = ModalDriver().Run([&] { return dialog.DoModal(nullptr, IDD_X); },
//                                            [&](ModalDriver& driver) { ... });
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace qx::test {

struct MessageBoxView {
    HWND window = nullptr;
    std::string text;
    std::string caption;
    // MB_ICONWARNING, MB_ICONINFORMATION, or 0 for any other icon or none.
    UINT icon = 0;
};

class ModalDriver {
public:
    using Step = std::function<bool(HWND dialog)>;
    using Script = std::function<void(ModalDriver&)>;

    // findDialog finds the dialog the steps get (null while it is not there yet).
    explicit ModalDriver(std::function<HWND()> findDialog = {});
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    void Add(std::string name, Step step, DWORD deadlineMs = 8000);
    INT_PTR Run(const std::function<INT_PTR()>& runModal, const Script& script = {});
    // Names of the steps that missed their deadline.
    const std::vector<std::string>& Failures() const { return failures_; }
    bool Finished() const { return next_ >= steps_.size(); }

    // For the script: a visible dialog of the test thread with this caption,
    // waited for; null (and a test failure) when none appears in time.
    HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 15000);
    // The same for the dialog that has a child with id childId.
    HWND WaitForDialogWithChild(int childId, DWORD timeoutMs = 15000);
    // A visible message box owned by owner, waited for and read.
    MessageBoxView WaitForMessageBox(HWND owner, DWORD timeoutMs = 15000);
    // Waits until the window is destroyed or hidden; false on time-out.
    bool WaitUntilClosed(HWND window, DWORD timeoutMs = 15000);
    // Waits until condition holds; false on time-out.
    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);
    // Runs task on the test thread, inside whatever modal loop runs there,
    // and returns when it is done (false when it did not run in time).
    bool OnDialogThread(const std::function<void()>& task, DWORD timeoutMs = 15000);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunStep();
    void RunPendingTask();
    std::vector<HWND> VisibleDialogs() const;
    // Cancels every visible dialog of the test thread.
    void CancelOpenDialogs() const;

    struct Entry {
        std::string name;
        Step step;
        DWORD deadlineMs;
    };
    std::function<HWND()> findDialog_;
    std::vector<Entry> steps_;
    std::vector<std::string> failures_;
    std::size_t next_ = 0;
    DWORD stepStarted_ = 0;
    DWORD uiThread_ = 0;
    UINT_PTR timer_ = 0;
    // A step or task may pump messages (a click that opens the browser); the
    // tick never re-enters.
    bool ticking_ = false;
    std::atomic<const std::function<void()>*> pendingTask_{nullptr};
};

// The visible dialog (class #32770) of this thread that has a child with id
// childId, or null.
HWND FindThreadDialogWithChild(int childId);

}  // namespace qx::test
