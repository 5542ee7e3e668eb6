// The caption gradient: 255 vertical bands from the start colour towards the
// end colour. Band d runs from left + trunc(d * step) to
// left + trunc((d + 1) * step), with step = width / 255 held in single
// precision, so narrow captions have bands of zero width and the last band
// ends at left + trunc(255 * step). Each channel of band d is the integer part
// of start + (end - start) * d / 255, so the last band stops one step short of
// the end colour. No <windows.h>.
#pragma once

#include <cstdint>

namespace qx {

// Colours as the platform keeps them: 0x00BBGGRR.
using ColourValue = std::uint32_t;

constexpr int kGradientBandCount = 255;

struct GradientBand {
    int left;
    int right;  // exclusive; equal to left for an empty band
    ColourValue colour;
};

// Band `band` (0 to 254) of a gradient over the horizontal span [left, right).
GradientBand CaptionGradientBand(int left, int right, ColourValue startColour, ColourValue endColour, int band);

}  // namespace qx
