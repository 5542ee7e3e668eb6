#include "controls/PictureBox.h"

#include <ocidl.h>
#include <olectl.h>

#include <utility>

namespace qx {

namespace {

// HIMETRIC units per inch.
constexpr int kHimetricPerInch = 2540;

// Reads the whole file into a new zero-initialised movable memory block, or
// answers an empty one. A file must not be empty to be a picture.
GlobalMemory ReadWholeFile(const char* path, DWORD& size) {
    // Others may read the file meanwhile (a virus scanner, a viewer); denying
    // them would make this open fail instead.
    const KernelHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GlobalMemory();
    }
    GlobalMemory memory;
    DWORD sizeHigh = 0;
    size = GetFileSize(file.get(), &sizeHigh);
    if (size != INVALID_FILE_SIZE && size != 0 && sizeHigh == 0) {
        memory.reset(GlobalAlloc(GHND, size));
    }
    void* bytes = memory ? GlobalLock(memory.get()) : nullptr;
    DWORD read = 0;
    const bool complete = bytes != nullptr && ReadFile(file.get(), bytes, size, &read, nullptr) && read == size;
    if (bytes != nullptr) {
        GlobalUnlock(memory.get());
    }
    if (!complete) {
        memory.reset();
    }
    return memory;
}

}  // namespace

bool PictureBox::PrepareDrawingContext() {
    if (memoryDc_ || Window() == nullptr) {
        return static_cast<bool>(memoryDc_);
    }
    HDC windowDc = GetDC(Window());
    if (windowDc == nullptr) {
        return false;
    }
    memoryDc_.reset(CreateCompatibleDC(windowDc));
    ReleaseDC(Window(), windowDc);
    return static_cast<bool>(memoryDc_);
}

bool PictureBox::LoadFile(const char* path) {
    DWORD size = 0;
    GlobalMemory memory = ReadWholeFile(path, size);
    if (!memory) {
        return false;
    }
    DecodedPicture decoded;
    if (!Decode(std::move(memory), size, decoded)) {
        return false;
    }
    bitmap_ = std::move(decoded.bitmap);
    himetricWidth_ = decoded.himetricWidth;
    himetricHeight_ = decoded.himetricHeight;
    loaded_ = true;
    ComputeFit();
    Redraw();
    return true;
}

// Once the stream exists it owns the memory and frees it when released;
// the picture is released before the stream.
bool PictureBox::Decode(GlobalMemory memory, DWORD size, DecodedPicture& decoded) {
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.receive()))) {
        return false;
    }
    memory.release();
    ComPtr<IPicture> picture;
    HRESULT result = OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(picture.receive()));
    if (FAILED(result) || !picture) {
        return false;
    }
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)) &&
        handle != 0) {
        decoded.bitmap.reset(static_cast<HBITMAP>(
            CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0)));
    }
    if (decoded.bitmap &&
        (FAILED(picture->get_Width(&decoded.himetricWidth)) || FAILED(picture->get_Height(&decoded.himetricHeight)))) {
        decoded.bitmap.reset();
    }
    return static_cast<bool>(decoded.bitmap);
}

void PictureBox::ComputeFit() {
    HDC dc = memoryDc_.get();
    HDC screenDc = nullptr;
    if (dc == nullptr) {
        screenDc = GetDC(nullptr);
        dc = screenDc;
    }
    widthPx_ = MulDiv(himetricWidth_, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
    heightPx_ = MulDiv(himetricHeight_, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
    if (screenDc != nullptr) {
        ReleaseDC(nullptr, screenDc);
    }
    RECT box;
    GetWindowRect(Window(), &box);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&box), 2);
    fit_ = FitPicture(widthPx_, heightPx_, box.right - box.left, box.bottom - box.top);
}

void PictureBox::Redraw() const {
    // The box paints only the picture, so the parent erases the box's area
    // first: a smaller new picture leaves nothing of the old one behind.
    HWND parent = GetParent(Window());
    RECT area;
    GetWindowRect(Window(), &area);
    if (parent != nullptr) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

bool PictureBox::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_PAINT) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window(), &paint);
    if (dc != nullptr) {
        Paint(dc);
        EndPaint(Window(), &paint);
    }
    result = 0;
    return true;
}

void PictureBox::Paint(HDC dc) const {
    if (!loaded_ || !bitmap_ || !memoryDc_) {
        return;
    }
    HGDIOBJ previous = SelectObject(memoryDc_.get(), bitmap_.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, fit_.leftOffset, fit_.topOffset, fit_.drawnWidth, fit_.drawnHeight, memoryDc_.get(), 0, 0, widthPx_,
               heightPx_, SRCCOPY);
    SelectObject(memoryDc_.get(), previous);
}

}  // namespace qx
