#include "framework/HtmlHelp.h"

#include "framework/ScopedHandles.h"

namespace qx {
namespace {

// The HTML Help control's class: its registered in-process server is the
// control's own file, wherever it is installed.
constexpr char kControlServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kControlFileName[] = "hhctrl.ocx";
// HtmlHelpA is exported by ordinal only on some systems.
constexpr WORD kHtmlHelpOrdinal = 14;
constexpr UINT kDisplayContents = 0x0001;  // HH_DISPLAY_TOC

// The registered server's path, or empty when it is not registered or the
// path does not fit.
bool RegisteredControlPath(char (&path)[MAX_PATH]) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kControlServerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = sizeof path - 1;
    const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) {
        return false;
    }
    path[size] = '\0';
    return path[0] != '\0';
}

HMODULE LoadControl() {
    char path[MAX_PATH] = {};
    if (RegisteredControlPath(path)) {
        char expanded[MAX_PATH] = {};
        const DWORD length = ExpandEnvironmentStringsA(path, expanded, sizeof expanded);
        if (length > 0 && length <= sizeof expanded) {
            if (HMODULE control = LoadLibraryA(expanded)) {
                return control;
            }
        }
    }
    return LoadLibraryA(kControlFileName);
}

}  // namespace

HtmlHelpFunction LoadHtmlHelp() {
    static HtmlHelpFunction function = nullptr;
    if (function != nullptr) {
        return function;
    }
    LoadedModule control(LoadControl());
    if (!control) {
        return nullptr;
    }
    FARPROC entry = GetProcAddress(control.get(), MAKEINTRESOURCEA(kHtmlHelpOrdinal));
    if (entry == nullptr) {
        return nullptr;
    }
    // The control stays loaded for the rest of the run: the entry lives in it.
    control.release();
    function = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(entry));
    return function;
}

HWND ShowHelpContents(HWND owner) {
    HtmlHelpFunction htmlHelp = LoadHtmlHelp();
    return htmlHelp != nullptr ? htmlHelp(owner, kHelpFileName, kDisplayContents, 0) : nullptr;
}

}  // namespace qx
