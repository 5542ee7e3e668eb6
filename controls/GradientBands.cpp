#include "controls/GradientBands.h"

namespace qx {

namespace {

int Channel(ColourValue colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFFu);
}

ColourValue BandChannel(ColourValue start, ColourValue end, int shift, int band) {
    const int from = Channel(start, shift);
    const int to = Channel(end, shift);
    const double value = from + static_cast<double>((to - from) * band) / kGradientBandCount;
    return static_cast<ColourValue>(static_cast<int>(value)) << shift;
}

int BandEdge(int left, float step, int band) {
    const float offset = static_cast<float>(band) * step;
    return left + static_cast<int>(offset);
}

}  // namespace

GradientBand CaptionGradientBand(int left, int right, ColourValue startColour, ColourValue endColour, int band) {
    const float step = static_cast<float>(right - left) / static_cast<float>(kGradientBandCount);
    const ColourValue colour = BandChannel(startColour, endColour, 0, band) |
                               BandChannel(startColour, endColour, 8, band) |
                               BandChannel(startColour, endColour, 16, band);
    return {BandEdge(left, step, band), BandEdge(left, step, band + 1), colour};
}

}  // namespace qx
