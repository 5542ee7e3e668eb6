// A static control painted as a section caption: a horizontal gradient of 255
// bands across the whole control with the control's own text on top, in one
// vertically centred line, clipped to the control.
//
// The owner binds it and then sets the colours (and, if it wants, the
// alignment and margin) before the dialog is first shown. The text is the
// control's window text, read again on every paint.
#pragma once

#include <windows.h>

#include "framework/ControlWrapper.h"

namespace qx {

class CaptionLabel : public ControlWrapper {
public:
    static constexpr int kAlignLeft = 0;
    static constexpr int kAlignCentre = 1;
    static constexpr int kAlignRight = 2;  // any other value aligns right too

    CaptionLabel();

    // Space kept free beside left- or right-aligned text, in pixels at 96 dpi
    // (scaled to the control's dpi when painted).
    int margin = 10;
    COLORREF startColour;
    COLORREF endColour;
    COLORREF textColour;
    int alignment = kAlignLeft;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint(HDC dc) const;
    void PaintBands(HDC dc, const RECT& client) const;
    void PaintText(HDC dc, RECT area) const;
};

}  // namespace qx
