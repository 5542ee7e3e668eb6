// Drives a modal dialog of this thread from a thread timer, which keeps firing
// inside the dialog's modal loop. Each step runs on a tick with the dialog's
// window and answers true when it is done; the next tick runs the next step.
// A step that is not done by its deadline fails the test and ends the dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qx::test {

class ModalDriver {
public:
    using Step = std::function<bool(HWND dialog)>;

    // finds the dialog among the thread's windows (null while it is not there yet).
    explicit ModalDriver(std::function<HWND()> findDialog);
    ~ModalDriver();

    void Add(std::string name, Step step, DWORD deadlineMs = 8000);
    // Starts ticking; call right before the modal call.
    void Start();
    // Names of the steps that missed their deadline.
    const std::vector<std::string>& Failures() const { return failures_; }
    bool Finished() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunStep();

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
    UINT_PTR timer_ = 0;
    bool running_ = false;
};

// The visible dialog (class #32770) of this thread that has a child with id
// childId, or null.
HWND FindThreadDialogWithChild(int childId);

// The text of a window.
std::string WindowText(HWND window);

// The text of one cell of a list view.
std::string ListCell(HWND list, int row, int column);

}  // namespace qx::test
