#include "controls/GradientBands.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

constexpr ColourValue kStart = 0xFF3232;  // RGB(50, 50, 255)
constexpr ColourValue kEnd = 0xF09696;    // RGB(150, 150, 240)

int Red(ColourValue c) { return static_cast<int>(c & 0xFF); }
int Green(ColourValue c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(ColourValue c) { return static_cast<int>((c >> 16) & 0xFF); }

TEST(GradientBandsTest, CaptionColoursByBand) {
    struct ColourCase {
        int band;
        int red;
        int green;
        int blue;
    };
    const ColourCase cases[] = {
        {0, 50, 50, 255},
        {1, 50, 50, 254},    // 254.94 truncated, not rounded
        {3, 51, 51, 254},    // 50 + 300 / 255 = 51.18
        {127, 99, 99, 247},  // 255 - 15 * 127 / 255 = 247.53
        {254, 149, 149, 240},
    };
    for (const ColourCase& c : cases) {
        const ColourValue colour = CaptionGradientBand(0, 255, kStart, kEnd, c.band).colour;
        EXPECT_EQ(Red(colour), c.red) << "band " << c.band;
        EXPECT_EQ(Green(colour), c.green) << "band " << c.band;
        EXPECT_EQ(Blue(colour), c.blue) << "band " << c.band;
        EXPECT_EQ(colour >> 24, 0u) << "band " << c.band;
    }
}

TEST(GradientBandsTest, ChannelsMoveIndependentlyInBothDirections) {
    // Black to white rises evenly; white to black falls and truncates toward 0.
    EXPECT_EQ(CaptionGradientBand(0, 255, 0x000000, 0xFFFFFF, 100).colour, 0x646464u);
    EXPECT_EQ(CaptionGradientBand(0, 255, 0xFFFFFF, 0x000000, 100).colour, 0x9B9B9Bu);
    // Red falls while blue rises; green stays.
    EXPECT_EQ(CaptionGradientBand(0, 255, 0x0080FF, 0xFF8000, 254).colour, 0xFE8001u);
    EXPECT_EQ(CaptionGradientBand(0, 255, 0x123456, 0x123456, 200).colour, 0x123456u);
}

TEST(GradientBandsTest, BandsOfA255PixelCaptionAreOnePixelEach) {
    for (int band = 0; band < kGradientBandCount; ++band) {
        const GradientBand b = CaptionGradientBand(0, 255, kStart, kEnd, band);
        ASSERT_EQ(b.left, band);
        ASSERT_EQ(b.right, band + 1);
    }
}

TEST(GradientBandsTest, BandsTileTheWidthWithoutGapsForEveryWidth) {
    for (int width = 0; width <= 1200; ++width) {
        const int left = 7;
        int expectedLeft = left;
        int nonEmpty = 0;
        for (int band = 0; band < kGradientBandCount; ++band) {
            const GradientBand b = CaptionGradientBand(left, left + width, kStart, kEnd, band);
            ASSERT_EQ(b.left, expectedLeft) << "width " << width << " band " << band;
            ASSERT_GE(b.right, b.left) << "width " << width << " band " << band;
            nonEmpty += b.right > b.left ? 1 : 0;
            expectedLeft = b.right;
        }
        ASSERT_GE(expectedLeft, left + width - 1) << "width " << width;
        ASSERT_LE(expectedLeft, left + width) << "width " << width;
        if (width <= kGradientBandCount) {
            ASSERT_LE(nonEmpty, width) << "a narrow caption has bands of zero width";
        }
    }
}

TEST(GradientBandsTest, ZeroWidthCaptionHasOnlyEmptyBands) {
    for (int band = 0; band < kGradientBandCount; ++band) {
        const GradientBand b = CaptionGradientBand(40, 40, kStart, kEnd, band);
        ASSERT_EQ(b.left, 40);
        ASSERT_EQ(b.right, 40);
    }
}

TEST(GradientBandsTest, WideCaptionBandsFollowTheSinglePrecisionStep) {
    // 1000 / 255 = 3.9215...: band 1 spans [3, 7), band 254 ends at 1000.
    EXPECT_EQ(CaptionGradientBand(0, 1000, kStart, kEnd, 1).left, 3);
    EXPECT_EQ(CaptionGradientBand(0, 1000, kStart, kEnd, 1).right, 7);
    EXPECT_EQ(CaptionGradientBand(0, 1000, kStart, kEnd, 254).right, 1000);
    // 100 pixels: step 0.392..., band 2 starts at 0 and ends at 1.
    EXPECT_EQ(CaptionGradientBand(0, 100, kStart, kEnd, 2).left, 0);
    EXPECT_EQ(CaptionGradientBand(0, 100, kStart, kEnd, 2).right, 1);
}

}  // namespace
}  // namespace qx
