#include "controls/DpiScale.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(DpiScaleTest, SizesGrowWithTheDpiRoundedAsMulDivRounds) {
    struct ScaleCase {
        int pixels;
        int dpi;
        int scaled;
    };
    const ScaleCase cases[] = {
        {160, 96, 160},  {65, 96, 65},    {0, 96, 0},  // the standard dpi changes nothing
        {160, 144, 240}, {170, 144, 255}, {65, 144, 98},   // 97.5: a half goes up
        {16, 144, 24},   {10, 144, 15},   {5, 144, 8},     // 7.5
        {160, 192, 320}, {65, 192, 130},  {16, 192, 32},
        {10, 120, 13},   {65, 120, 81},   // 12.5 and 81.25 at 125 %
        {150, 168, 263},                  // 262.5 at 175 %
        {-65, 144, -98},                  // a negative size rounds away from zero too
        {460, 0, 460},   {460, -96, 460}, // no usable dpi: unchanged
        {10000000, 480, 50000000},        // the product does not fit an int
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " px at " << c.dpi << " dpi";
    }
}

}  // namespace
}  // namespace qx
