// A static control that shows a picture file (JPEG, or anything else the
// platform's OLE picture loader decodes to a bitmap), scaled down to fit the
// control with its aspect ratio kept and centred.
//
// Use: Attach(control), PrepareDrawingContext() once, then LoadFile(path) as
// often as needed; each successful load replaces the picture completely. A
// file that is missing or not a picture keeps what the box showed.
#pragma once

#include <windows.h>

#include "framework/ControlWrapper.h"
#include "framework/ScopedHandles.h"
#include "controls/PictureFit.h"

namespace qx {

class PictureBox : public ControlWrapper {
public:
    PictureBox() = default;

    bool Attach(HWND control) { return Bind(control); }
    // Creates the memory drawing context, compatible with the control's display.
    bool PrepareDrawingContext();
    // Decodes the file, fits it into the control and redraws the box. False
    // when the file cannot be read or decoded; the box then keeps its picture.
    bool LoadFile(const char* path);

    bool loaded() const { return loaded_; }
    int naturalWidth() const { return widthPx_; }
    int naturalHeight() const { return heightPx_; }
    // Where the picture is drawn, in the control's client coordinates.
    const PictureFit& fit() const { return fit_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The decoded picture: the box's own copy of its bitmap and its size in
    // HIMETRIC units (hundredths of a millimetre).
    struct DecodedPicture {
        GdiObject<HBITMAP> bitmap;
        LONG himetricWidth = 0;
        LONG himetricHeight = 0;
    };

    static bool Decode(GlobalMemory memory, DWORD size, DecodedPicture& decoded);
    void ComputeFit();
    void Redraw() const;
    void Paint(HDC dc) const;

    // Declared before the drawing context, which therefore goes first: the
    // bitmap is never selected into it outside Paint.
    GdiObject<HBITMAP> bitmap_;
    LONG himetricWidth_ = 0;
    LONG himetricHeight_ = 0;
    int widthPx_ = 0;
    int heightPx_ = 0;
    PictureFit fit_{0, 0, 0, 0};
    MemoryDc memoryDc_;
    bool loaded_ = false;
};

}  // namespace qx
