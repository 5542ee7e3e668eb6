#include "controls/ListViewImages.h"

#include "controls/ListControl.h"

#include <utility>

namespace qx {

void ListViewImages::Show(HWND list, ImageList images) {
    Release();
    if (list == nullptr || !images) {
        return;
    }
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ListControl(list).SetSmallImageList(images.get());
    list_ = list;
    images_ = std::move(images);
}

void ListViewImages::Release() {
    if (images_ && IsWindow(list_)) {
        ListControl(list_).SetSmallImageList(nullptr);
    }
    images_.reset();
    list_ = nullptr;
}

}  // namespace qx
