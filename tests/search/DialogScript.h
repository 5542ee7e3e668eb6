// Drives the modal dialogs of the test thread like a user would, from a script
// running on a worker thread: it waits for windows, reads their controls and
// posts clicks, while the test thread sits in the dialog's modal loop.
//
//   const INT_PTR result = DialogScript::Run([&] { return dialog.DoModal(nullptr, IDD_X); },
//                                            [&](DialogScript& script) { ... });
//
// Reads use SendMessage, which the modal loops answer; clicks that open modal
// windows are posted, so the script never waits on them. When the script
// returns (also after a failed assertion) every window it left open is
// cancelled, so that Run always returns.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

namespace qx::test {

struct MessageBoxView {
    HWND window = nullptr;
    std::string text;
    std::string caption;
    // MB_ICONWARNING, MB_ICONINFORMATION, or 0 for any other icon or none.
    UINT icon = 0;
};

class DialogScript {
public:
    static INT_PTR Run(const std::function<INT_PTR()>& runModal, const std::function<void(DialogScript&)>& script);

    // A visible dialog of the test thread with this caption, waited for; null
    // (and a test failure) when none appears in time.
    HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 15000);
    // A visible message box owned by owner, waited for and read.
    MessageBoxView WaitForMessageBox(HWND owner, DWORD timeoutMs = 15000);
    // Waits until the window is destroyed or hidden; false on time-out.
    bool WaitUntilClosed(HWND window, DWORD timeoutMs = 15000);
    // Waits until condition holds; false on time-out.
    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

    // Posts a click on the control (buttons, check boxes, radio buttons).
    static void Click(HWND dialog, int id);
    // Posts the command of a button without clicking it.
    static void PostCommand(HWND dialog, int id);
    // Selects a combo box item and tells the dialog, as a user's choice does.
    static void ChooseComboItem(HWND dialog, int id, int position);
    // The window that has the keyboard focus in the test thread.
    HWND Focus() const;
    // Runs task on the test thread, inside whatever modal loop runs there,
    // and returns when it is done (false when it did not run in time).
    bool OnDialogThread(const std::function<void()>& task, DWORD timeoutMs = 15000);

private:
    explicit DialogScript(DWORD uiThread) : uiThread_(uiThread) {}

    // Cancels every visible dialog of the test thread.
    void CancelOpenDialogs() const;
    // Runs the task handed over by OnDialogThread, if any; called by a thread
    // timer of the test thread, which fires in every modal loop.
    static void CALLBACK RunPendingTask(HWND, UINT, UINT_PTR, DWORD);

    const DWORD uiThread_;
    static std::atomic<const std::function<void()>*> pendingTask_;
};

// Reading controls, from any thread of the process.
std::string ControlText(HWND window);
int ComboSelection(HWND combo);
int ComboCount(HWND combo);
std::string ComboItemText(HWND combo, int position);
std::string ComboSelectedText(HWND combo);
bool IsButtonChecked(HWND button);
SYSTEMTIME PickerDate(HWND picker);
void SetPickerDate(HWND picker, const SYSTEMTIME& date);
int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);
// The check box state image of a row: 1 unticked, 2 ticked, 0 none.
int ListStateImage(HWND list, int row);
// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);

}  // namespace qx::test
