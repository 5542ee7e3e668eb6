// The small image list of one list view, owned here rather than by the list.
// The list is made to share it (LVS_SHAREIMAGELISTS), so that it never frees
// the images itself and this owner may outlive the list or go first.
#pragma once

#include <windows.h>

#include "framework/ScopedHandles.h"

namespace qx {

class ListViewImages {
public:
    ListViewImages() = default;
    ~ListViewImages() { Release(); }
    ListViewImages(const ListViewImages&) = delete;
    ListViewImages& operator=(const ListViewImages&) = delete;

    // Releases the images held so far, then shows images as the list's small
    // images and keeps them. Nothing is shown when either is missing.
    void Show(HWND list, ImageList images);
    // Takes the images off the list, while the list exists, and frees them.
    void Release();

private:
    HWND list_ = nullptr;
    ImageList images_;
};

}  // namespace qx
