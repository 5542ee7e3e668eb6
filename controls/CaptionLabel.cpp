#include "controls/CaptionLabel.h"

#include "controls/GradientBands.h"
#include "controls/WindowDpi.h"

namespace qx {

namespace {

// The longest caption text painted, in characters.
constexpr int kMaxTextLength = 1023;

}  // namespace

CaptionLabel::CaptionLabel()
    : startColour(GetSysColor(COLOR_ACTIVECAPTION)),
      endColour(GetSysColor(COLOR_BTNFACE)),
      textColour(GetSysColor(COLOR_CAPTIONTEXT)) {}

bool CaptionLabel::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
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

void CaptionLabel::Paint(HDC dc) const {
    RECT client;
    GetClientRect(Window(), &client);
    PaintBands(dc, client);

    SetTextColor(dc, textColour);
    SetBkMode(dc, TRANSPARENT);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(Window(), WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    PaintText(dc, client);
    if (previousFont != nullptr) {
        SelectObject(dc, previousFont);
    }
}

void CaptionLabel::PaintBands(HDC dc, const RECT& client) const {
    for (int band = 0; band < kGradientBandCount; ++band) {
        const GradientBand b = CaptionGradientBand(client.left, client.right, startColour, endColour, band);
        if (b.right <= b.left) {
            continue;
        }
        const RECT bandRect{b.left, client.top, b.right, client.bottom};
        SetBkColor(dc, b.colour);
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &bandRect, nullptr, 0, nullptr);
    }
}

void CaptionLabel::PaintText(HDC dc, RECT area) const {
    char text[kMaxTextLength + 1] = {};
    GetWindowTextA(Window(), text, sizeof(text));
    const int scaledMargin = ScaleToWindow(Window(), margin);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (alignment == kAlignCentre) {
        format |= DT_CENTER;
    } else if (alignment == kAlignLeft) {
        format |= DT_LEFT;
        area.left += scaledMargin;
    } else {
        format |= DT_RIGHT;
        area.right -= scaledMargin;
    }
    DrawTextA(dc, text, -1, &area, format);
}

}  // namespace qx
