#include "net/HotelPictureFiles.h"

#include "framework/ScopedHandles.h"
#include "net/PathText.h"

#include <windows.h>

namespace qx {

bool TempFilePath(std::string_view name, char* path, std::size_t width) {
    char directory[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) {
        if (width > 0) {
            path[0] = '\0';
        }
        return false;
    }
    return JoinPathInto(path, width, std::string_view(directory, length), name);
}

bool ExtractWaitImage(const char* waitPath) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "WAIT_IMAGE", "JPEG");
    if (!resource) {
        return false;
    }
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) {
        return false;
    }
    // Shared for reading: another program reading the file must not make this open fail.
    const KernelHandle file(
        CreateFileA(waitPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
}

void DeletePictureFiles(const char* hotelPath, const char* waitPath) {
    DeleteFileA(hotelPath);
    DeleteFileA(waitPath);
}

}  // namespace qx
