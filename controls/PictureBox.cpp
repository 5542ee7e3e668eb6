#include "controls/PictureBox.h"

#include <ocidl.h>
#include <olectl.h>

namespace qx {

namespace {

// HIMETRIC units per inch.
constexpr int kHimetricPerInch = 2540;

// Reads the whole file into a new zero-initialised movable memory block, or
// answers null. A file must not be empty to be a picture.
HGLOBAL ReadWholeFile(const char* path, DWORD& size) {
    // Others may read the file meanwhile (a virus scanner, a viewer); denying
    // them would make this open fail instead.
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    HGLOBAL memory = nullptr;
    DWORD sizeHigh = 0;
    size = GetFileSize(file, &sizeHigh);
    if (size != INVALID_FILE_SIZE && size != 0 && sizeHigh == 0) {
        memory = GlobalAlloc(GHND, size);
    }
    void* bytes = memory != nullptr ? GlobalLock(memory) : nullptr;
    DWORD read = 0;
    const bool complete = bytes != nullptr && ReadFile(file, bytes, size, &read, nullptr) && read == size;
    if (bytes != nullptr) {
        GlobalUnlock(memory);
    }
    CloseHandle(file);
    if (!complete && memory != nullptr) {
        GlobalFree(memory);
        memory = nullptr;
    }
    return memory;
}

}  // namespace

PictureBox::~PictureBox() {
    if (memoryDc_ != nullptr) {
        DeleteDC(memoryDc_);
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
    }
}

bool PictureBox::PrepareDrawingContext() {
    if (memoryDc_ != nullptr || Window() == nullptr) {
        return memoryDc_ != nullptr;
    }
    HDC windowDc = GetDC(Window());
    if (windowDc == nullptr) {
        return false;
    }
    memoryDc_ = CreateCompatibleDC(windowDc);
    ReleaseDC(Window(), windowDc);
    return memoryDc_ != nullptr;
}

bool PictureBox::LoadFile(const char* path) {
    DWORD size = 0;
    HGLOBAL memory = ReadWholeFile(path, size);
    if (memory == nullptr) {
        return false;
    }
    DecodedPicture decoded;
    if (!Decode(memory, size, decoded)) {
        return false;
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
    }
    bitmap_ = decoded.bitmap;
    himetricWidth_ = decoded.himetricWidth;
    himetricHeight_ = decoded.himetricHeight;
    loaded_ = true;
    ComputeFit();
    Redraw();
    return true;
}

// Takes over `memory`: the stream frees it when it is released.
bool PictureBox::Decode(HGLOBAL memory, DWORD size, DecodedPicture& decoded) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return false;
    }
    IPicture* picture = nullptr;
    HRESULT result = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    if (SUCCEEDED(result) && picture != nullptr) {
        SHORT type = PICTYPE_UNINITIALIZED;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture->get_Handle(&handle)) && handle != 0) {
            decoded.bitmap = static_cast<HBITMAP>(
                CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0));
        }
        if (decoded.bitmap != nullptr &&
            (FAILED(picture->get_Width(&decoded.himetricWidth)) || FAILED(picture->get_Height(&decoded.himetricHeight)))) {
            DeleteObject(decoded.bitmap);
            decoded.bitmap = nullptr;
        }
        picture->Release();
    }
    stream->Release();
    return decoded.bitmap != nullptr;
}

void PictureBox::ComputeFit() {
    HDC dc = memoryDc_;
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
    if (!loaded_ || bitmap_ == nullptr || memoryDc_ == nullptr) {
        return;
    }
    HGDIOBJ previous = SelectObject(memoryDc_, bitmap_);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, fit_.leftOffset, fit_.topOffset, fit_.drawnWidth, fit_.drawnHeight, memoryDc_, 0, 0, widthPx_,
               heightPx_, SRCCOPY);
    SelectObject(memoryDc_, previous);
}

}  // namespace qx
