#include "RemoteWindows.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace qx::test {
namespace {

constexpr std::size_t kTextSize = 4096;

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->windows.push_back(window);
    }
    return TRUE;
}

std::string NarrowText(const std::wstring& wide) {
    const int length =
        WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD limitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limitMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

Program::Program(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + path + "\"";
    // Started in its own folder, as a shortcut would start it.
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process_)) {
        process_ = PROCESS_INFORMATION{};
    }
}

Program::~Program() {
    if (process_.hProcess != nullptr) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

long Program::WaitForExit(DWORD limitMs) const {
    if (process_.hProcess == nullptr || WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

std::vector<HWND> Program::VisibleWindows() const {
    WindowSearch search{process_.dwProcessId, {}};
    EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND Program::FindWindow(const std::string& caption, bool suffix) const {
    for (HWND window : VisibleWindows()) {
        const std::string text = Text(window);
        if (suffix ? EndsWith(text, caption) : text == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND Program::PeekWindow(const std::string& caption, bool suffix) const {
    for (HWND window : VisibleWindows()) {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        if (suffix ? EndsWith(text, caption) : text == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND Program::WaitForWindow(const std::string& caption, DWORD limitMs, bool suffix) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindow(caption, suffix)) != nullptr; }, limitMs);
    return found;
}

std::string Text(HWND window) {
    std::string text(kTextSize, '\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             5000, &length)) {
        return std::string();
    }
    text.resize(std::min<std::size_t>(length, kTextSize - 1));
    return text;
}

bool Responds(HWND window, DWORD limitMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, limitMs, &result) != 0;
}

std::string ItemText(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostButtonClick(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool IsButtonChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT ChildRect(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void SetText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool PressKey(HWND window, WORD key, bool shift) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (top == nullptr) {
        return false;
    }
    SetForegroundWindow(top);
    if (!WaitFor([&] { return GetForegroundWindow() == top; }, 3000)) {
        return false;
    }
    std::vector<INPUT> inputs;
    const auto add = [&](WORD virtualKey, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (shift) {
        add(VK_SHIFT, 0);
    }
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) {
        add(VK_SHIFT, KEYEVENTF_KEYUP);
    }
    const UINT count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_ != nullptr) {
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

RemoteBuffer::~RemoteBuffer() {
    if (address_ != nullptr) {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

bool RemoteBuffer::Write(const void* data, std::size_t size, std::size_t offset) const {
    SIZE_T written = 0;
    return address_ != nullptr &&
           WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &written) &&
           written == size;
}

bool RemoteBuffer::Read(void* data, std::size_t size, std::size_t offset) const {
    SIZE_T read = 0;
    return address_ != nullptr &&
           ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &read) && read == size;
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string Cell(HWND list, int row, int column) {
    RemoteBuffer remote(list, sizeof(LVITEMA) + kTextSize);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = static_cast<char*>(remote.Address()) + sizeof(LVITEMA);
    item.cchTextMax = kTextSize;
    if (!remote.Write(&item, sizeof item)) {
        return std::string();
    }
    const auto length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.Address()));
    std::string text(kTextSize, '\0');
    remote.Read(text.data(), kTextSize, sizeof(LVITEMA));
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(length), kTextSize - 1));
    return text;
}

int ListStateImage(HWND list, int row) {
    const LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return static_cast<int>((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12);
}

std::vector<std::string> Column(HWND list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(list); ++row) {
        texts.push_back(Cell(list, row, column));
    }
    return texts;
}

int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int FocusedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SelectRow(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.Address()));
}

void SetRowTicked(HWND list, int row, bool ticked) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    remote.Write(&item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.Address()));
}

void DoubleClickRow(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(RECT));
    RECT bounds{};
    bounds.left = LVIR_LABEL;
    remote.Write(&bounds, sizeof bounds);
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(&bounds, sizeof bounds);
    // Posted: the list's notification opens a modal window in the program.
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM(bounds.left + 4, (bounds.top + bounds.bottom) / 2));
}

int SortArrow(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(list, sizeof(HDITEMA));
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    remote.Write(&item, sizeof item);
    if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(remote.Address()))) {
        return 0;
    }
    remote.Read(&item, sizeof item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void ClickHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(list, sizeof(RECT));
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(remote.Address()));
    RECT bounds{};
    remote.Read(&bounds, sizeof bounds);
    const LPARAM at = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    SendMessageA(header, WM_MOUSEMOVE, 0, at);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> ComboItems(HWND combo) {
    // The system marshals the text of the combo box's own messages across
    // processes, so a local buffer serves; the wide form is read because the
    // narrow one does not come back converted under Wine.
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || static_cast<std::size_t>(length) >= kTextSize) {
            items.emplace_back();
            continue;
        }
        std::wstring wide(kTextSize, L'\0');
        const auto copied = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        items.push_back(NarrowText(wide));
    }
    return items;
}

int ComboCount(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

std::string ComboItemText(HWND combo, int position) {
    const std::vector<std::string> items = ComboItems(combo);
    return position >= 0 && static_cast<std::size_t>(position) < items.size()
               ? items[static_cast<std::size_t>(position)]
               : "<none>";
}

std::string ComboSelectedText(HWND combo) {
    return ComboItemText(combo, ComboSelection(combo));
}

bool ChooseComboItem(HWND dialog, int id, int position) {
    HWND combo = GetDlgItem(dialog, id);
    const LRESULT chosen = SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return chosen != CB_ERR;
}

bool ChooseComboItem(HWND dialog, int id, const std::string& text) {
    HWND combo = GetDlgItem(dialog, id);
    const std::vector<std::string> items = ComboItems(combo);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            SendMessageA(combo, CB_SETCURSEL, i, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            return true;
        }
    }
    return false;
}

void SetPickerDate(HWND dialog, int id, WORD year, WORD month, WORD day) {
    SYSTEMTIME date{};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    SetPickerDate(GetDlgItem(dialog, id), date);
}

void SetPickerDate(HWND picker, const SYSTEMTIME& date) {
    RemoteBuffer remote(picker, sizeof date);
    remote.Write(&date, sizeof date);
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote.Address()));
}

SYSTEMTIME PickerDate(HWND picker) {
    SYSTEMTIME date{};
    RemoteBuffer remote(picker, sizeof date);
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(&date, sizeof date);
    return date;
}

MessageBoxSeen AnswerMessageBox(const Program& program, const std::string& caption, DWORD limitMs) {
    MessageBoxSeen seen;
    HWND box = program.WaitForWindow(caption, limitMs);
    if (box == nullptr) {
        return seen;
    }
    seen.found = true;
    seen.text = Text(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return seen;
}

namespace {

bool CaptureScreen(const RECT& area, std::vector<DWORD>& pixels) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory != nullptr && section != nullptr) {
        HGDIOBJ old = SelectObject(memory, section);
        copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
        GdiFlush();
        if (copied) {
            const auto* source = static_cast<const DWORD*>(bits);
            pixels.assign(source, source + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        }
        SelectObject(memory, old);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    ReleaseDC(nullptr, screen);
    return copied;
}

}  // namespace

std::vector<DWORD> ScreenPixels(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    std::vector<DWORD> pixels;
    CaptureScreen(bounds, pixels);
    for (DWORD& pixel : pixels) {
        pixel &= 0x00FFFFFF;
    }
    return pixels;
}

bool SaveScreen(const std::string& path) {
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<DWORD> pixels;
    if (!CaptureScreen(screen, pixels)) {
        return false;
    }
    const int width = screen.right;
    const int height = screen.bottom;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::vector<unsigned char> line(static_cast<std::size_t>(stride), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const DWORD pixel = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
            line[x * 3] = static_cast<unsigned char>(pixel & 0xFF);
            line[x * 3 + 1] = static_cast<unsigned char>((pixel >> 8) & 0xFF);
            line[x * 3 + 2] = static_cast<unsigned char>((pixel >> 16) & 0xFF);
        }
        std::fwrite(line.data(), line.size(), 1, out);
    }
    return std::fclose(out) == 0;
}

}  // namespace qx::test
