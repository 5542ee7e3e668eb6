#include "net/CopyFileBytes.h"

namespace qx {
namespace {

bool CopyChunks(HANDLE from, HANDLE to) {
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, chunk, sizeof chunk, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        DWORD written = 0;
        if (!WriteFile(to, chunk, read, &written, nullptr) || written != read) {
            return false;
        }
    }
}

bool Empty(HANDLE file) {
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(file);
}

}  // namespace

bool CopyFileBytes(HANDLE from, HANDLE to) {
    if (!Empty(to)) {
        return false;
    }
    if (CopyChunks(from, to)) {
        return true;
    }
    Empty(to);
    return false;
}

}  // namespace qx
