// Working windows the way a user sees them, those of another process or of
// another thread of this one: finding them by caption, reading and setting
// controls (through memory allocated in the window's process where a message
// carries a pointer), clicking buttons and taking screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qx::test {

// Waits until condition holds, checking every 50 ms; false after limitMs.
bool WaitFor(const std::function<bool()>& condition, DWORD limitMs);

// A program started with CreateProcess and ended (if still running) when the
// object goes.
class Program {
public:
    explicit Program(const std::string& path);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD Id() const { return process_.dwProcessId; }
    HANDLE Handle() const { return process_.hProcess; }
    // The exit code, or -1 while it still runs after limitMs.
    long WaitForExit(DWORD limitMs) const;

    // The visible top-level window of this program whose caption is caption
    // (or ends with it when suffix is true), or null after limitMs.
    HWND WaitForWindow(const std::string& caption, DWORD limitMs = 15000, bool suffix = false) const;
    // The same, without waiting.
    HWND FindWindow(const std::string& caption, bool suffix = false) const;
    // The same again, reading the captions without sending the windows a
    // message (GetWindowText reads another process's caption directly), so
    // that polling with it does not slow the program down while it works.
    HWND PeekWindow(const std::string& caption, bool suffix = false) const;
    // Every visible top-level window of this program.
    std::vector<HWND> VisibleWindows() const;

private:
    PROCESS_INFORMATION process_{};
};

std::string Text(HWND window);
// Whether the window's thread answers a message within limitMs.
bool Responds(HWND window, DWORD limitMs = 5000);
std::string ItemText(HWND dialog, int id);
// Sends the button's click command to its dialog; returns at once.
void Click(HWND dialog, int id);
// Posts a click on the control itself (buttons, check boxes, radio buttons).
void PostButtonClick(HWND dialog, int id);
bool IsButtonChecked(HWND button);
// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
// Sets an edit's text.
void SetText(HWND dialog, int id, const std::string& text);

// Real keyboard input: brings window's top-level window to the foreground and
// presses key there (with Shift held when shift is true), as the user would.
// False when the window did not come to the foreground.
bool PressKey(HWND window, WORD key, bool shift = false);
// The window with the keyboard focus on window's thread, or null.
HWND FocusOf(HWND window);

// Memory in the process that owns window, freed with the object.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0) const;
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// List views.
int RowCount(HWND list);
int ColumnCount(HWND list);
int ColumnWidth(HWND list, int column);
std::string Cell(HWND list, int row, int column);
// The check box state image of a row: 1 unticked, 2 ticked, 0 none.
int ListStateImage(HWND list, int row);
std::vector<std::string> Column(HWND list, int column);
int SelectedRow(HWND list);
// The row with the list's focus rectangle, or -1.
int FocusedRow(HWND list);
void SelectRow(HWND list, int row);
// Ticks or clears a row's check box (state image 2 or 1).
void SetRowTicked(HWND list, int row, bool ticked);
// Double-clicks a row as the mouse would; returns at once.
void DoubleClickRow(HWND list, int row);
// HDF_SORTUP, HDF_SORTDOWN or 0 for a column's header.
int SortArrow(HWND list, int column);
// Clicks a column's header as the mouse would.
void ClickHeader(HWND list, int column);

// Combo boxes: the items' texts, and choosing one as the user would (the
// dialog gets its selection-change notification).
std::vector<std::string> ComboItems(HWND combo);
int ComboCount(HWND combo);
int ComboSelection(HWND combo);
// An item's text, or "<none>" when there is no such item (or no selection).
std::string ComboItemText(HWND combo, int position);
std::string ComboSelectedText(HWND combo);
bool ChooseComboItem(HWND dialog, int id, const std::string& text);
bool ChooseComboItem(HWND dialog, int id, int position);

// Date-time pickers (set without telling the dialog).
void SetPickerDate(HWND dialog, int id, WORD year, WORD month, WORD day);
void SetPickerDate(HWND picker, const SYSTEMTIME& date);
SYSTEMTIME PickerDate(HWND picker);

// A message box of the program: its caption and text; answered with OK.
struct MessageBoxSeen {
    bool found = false;
    std::string text;
};
MessageBoxSeen AnswerMessageBox(const Program& program, const std::string& caption, DWORD limitMs = 15000);

// The screen's pixels of a window's rectangle, top row first (0x00RRGGBB).
std::vector<DWORD> ScreenPixels(HWND window);
// Saves the whole screen as a 24-bit BMP file.
bool SaveScreen(const std::string& path);

}  // namespace qx::test
