#include "framework/Centring.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

struct CentringCase {
    const char* name;
    ScreenRect window;
    ScreenRect over;
    ScreenRect workArea;
    ScreenPoint expected;
};

const ScreenRect kWorkArea{0, 0, 1024, 738};

const CentringCase kCases[] = {
    {"over the whole work area", {0, 0, 200, 100}, kWorkArea, kWorkArea, {412, 319}},
    {"over an owner inside the work area", {0, 0, 200, 100}, {100, 100, 500, 400}, kWorkArea, {200, 200}},
    {"the window's own position does not matter", {640, 480, 840, 580}, {100, 100, 500, 400}, kWorkArea, {200, 200}},
    {"odd sizes: each half truncated", {0, 0, 201, 99}, {0, 0, 1023, 737}, {0, 0, 1023, 737}, {411, 319}},
    {"odd window over an even area: half of each, not half of the difference", {0, 0, 201, 99}, kWorkArea, kWorkArea,
     {412, 320}},
    {"owner left of the origin: its half truncated, not the sum of its edges", {0, 0, 100, 100}, {-301, -301, 100, 100},
     {-1280, -1024, 1024, 738}, {-151, -151}},
    {"centred on the left and top edges: pushed fully inside", {0, 0, 200, 100}, {-200, -100, 200, 100}, kWorkArea,
     {0, 0}},
    {"centred on the right and bottom edges: pulled fully inside", {0, 0, 200, 100}, {824, 638, 1224, 838}, kWorkArea,
     {824, 638}},
    {"ending exactly on the right and bottom edges: not moved", {0, 0, 200, 100}, {824, 638, 1024, 738}, kWorkArea,
     {824, 638}},
    {"one pixel over the left and top edges", {0, 0, 200, 100}, {-1, -1, 199, 99}, kWorkArea, {0, 0}},
    {"one pixel over the right and bottom edges", {0, 0, 200, 100}, {825, 639, 1025, 739}, kWorkArea, {824, 638}},
    {"owner partly left of and above the work area", {0, 0, 300, 50}, {-300, -200, 100, 40}, kWorkArea, {0, 0}},
    {"owner near the bottom right corner", {0, 0, 300, 200}, {900, 600, 1100, 760}, kWorkArea, {724, 538}},
    {"work area that does not start at 0", {0, 0, 200, 100}, {0, 0, 100, 100}, {40, 30, 1024, 768}, {40, 30}},
    {"window larger than the work area, centred over it", {0, 0, 1200, 900}, kWorkArea, kWorkArea, {0, 0}},
    {"window larger than the work area, owner at the right: the right edge wins",
     {0, 0, 1200, 100}, {800, 0, 1024, 100}, kWorkArea, {-176, 0}},
    {"empty window", {0, 0, 0, 0}, kWorkArea, kWorkArea, {512, 369}},
};

TEST(CentringTest, PositionIsCentredThenKeptInsideTheWorkArea) {
    for (const CentringCase& c : kCases) {
        const ScreenPoint position = CentredPosition(c.window, c.over, c.workArea);
        EXPECT_EQ(position.x, c.expected.x) << c.name;
        EXPECT_EQ(position.y, c.expected.y) << c.name;
    }
}

}  // namespace
}  // namespace qx
