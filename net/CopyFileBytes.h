// Copying an open file's bytes into another open file.
#pragma once

#include <windows.h>

namespace qx {

// Copies from the current position of from to its end into to, from to's
// start. True only when every read and every write succeeded: a failed read
// is a failure, never the end of the bytes. On failure to is left empty, so
// that no part of the bytes is ever taken for the whole.
bool CopyFileBytes(HANDLE from, HANDLE to);

}  // namespace qx
