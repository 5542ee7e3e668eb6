// The owning holder of a WinINet handle (session, connection or request).
// A derived handle must be freed before the handle it was made from.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/ScopedHandles.h"

namespace qx {

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { InternetCloseHandle(handle); }
};
using InternetHandle = ScopedHandle<InternetHandleTraits>;

}  // namespace qx
