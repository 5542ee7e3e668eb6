#include "controls/PictureFit.h"

#include <climits>

#include <gtest/gtest.h>

namespace qx {
namespace {

struct FitCase {
    const char* name;
    int width;
    int height;
    int boxWidth;
    int boxHeight;
    PictureFit expected;  // drawn width, drawn height, top, left
};

const FitCase kCases[] = {
    {"wider picture: the width decides", 640, 480, 150, 195, {150, 112, 41, 0}},
    {"taller picture: the height decides", 300, 600, 150, 195, {97, 195, 0, 26}},
    {"small picture: natural size, centred", 119, 134, 150, 195, {119, 134, 30, 15}},
    {"exactly the box", 150, 195, 150, 195, {150, 195, 0, 0}},
    {"equal excess: still inside the box", 250, 295, 150, 195, {150, 177, 9, 0}},
    {"height overflows more but the width would not fit", 400, 460, 150, 195, {150, 172, 11, 0}},
    {"one pixel wider only", 151, 195, 150, 195, {150, 193, 1, 0}},
    {"odd leftover: offsets truncate", 100, 100, 151, 152, {100, 100, 26, 25}},
    {"very wide strip", 100000, 1, 150, 195, {150, 0, 97, 0}},
    {"largest picture", INT_MAX, INT_MAX, 150, 195, {150, 150, 22, 0}},
    {"zero-sized picture", 0, 0, 150, 195, {0, 0, 97, 75}},
    {"picture without width", 0, 480, 150, 195, {0, 0, 97, 75}},
    {"picture without height", 640, 0, 150, 195, {0, 0, 97, 75}},
    {"failed size conversion", -1, 480, 150, 195, {0, 0, 97, 75}},
    {"box without size", 640, 480, 0, 0, {0, 0, 0, 0}},
};

TEST(PictureFitTest, FitsInsideTheBoxNeverEnlargesAndCentres) {
    for (const FitCase& c : kCases) {
        const PictureFit fit = FitPicture(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fit.drawnWidth, c.expected.drawnWidth) << c.name;
        EXPECT_EQ(fit.drawnHeight, c.expected.drawnHeight) << c.name;
        EXPECT_EQ(fit.topOffset, c.expected.topOffset) << c.name;
        EXPECT_EQ(fit.leftOffset, c.expected.leftOffset) << c.name;
    }
}

}  // namespace
}  // namespace qx
