// The sizes the program sets in pixels, on the main window's template at the
// screen's dpi: 96 in the ordinary test prefix, 144 and 192 in the high-dpi
// prefix (run-at-dpi.sh, which names the dpi it set in QX_EXPECTED_DPI).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "controls/CaptionLabel.h"
#include "controls/ListControl.h"
#include "res/resource.h"
#include "tests/support/HostDialog.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

// The hotel list's columns as the main window sets them up.
constexpr ListColumn kHotelColumns[] = {
    {"ID", LVCFMT_LEFT, 0},          {"施設名", LVCFMT_LEFT, 160},  {"住所", LVCFMT_LEFT, 170},
    {"最低価格", LVCFMT_RIGHT, 65}, {"最高価格", LVCFMT_RIGHT, 65}, {"特記事項", LVCFMT_LEFT, -1},
};
constexpr int kFixedColumns = 5;

struct DpiSizes {
    int dpi;
    int columns[kFixedColumns];
    int smallIcon;
    int captionMargin;
};
constexpr DpiSizes kSizes[] = {
    {96, {0, 160, 170, 65, 65}, 16, 10},
    {144, {0, 240, 255, 98, 98}, 24, 15},
    {192, {0, 320, 340, 130, 130}, 32, 20},
};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

const DpiSizes* SizesAt(int dpi) {
    for (const DpiSizes& sizes : kSizes) {
        if (sizes.dpi == dpi) {
            return &sizes;
        }
    }
    return nullptr;
}

class DpiScalingTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* expected = std::getenv("QX_EXPECTED_DPI");
        const int dpi = ScreenDpi();
        if (expected != nullptr) {
            ASSERT_EQ(dpi, std::atoi(expected)) << "the prefix's LogPixels did not reach this process";
        }
        sizes_ = SizesAt(dpi);
        ASSERT_NE(sizes_, nullptr) << "no sizes for " << dpi << " dpi";
        test::PumpPendingMessages();
        ASSERT_NE(host_.Create(nullptr, IDD_MAIN), nullptr);
    }
    void TearDown() override {
        host_.DestroyWindow();
        test::PumpPendingMessages();
    }

    const DpiSizes* sizes_ = nullptr;
    CaptionLabel caption_;
    test::HostDialog host_{nullptr};
};

TEST_F(DpiScalingTest, ListColumnsScaleAndTheLastFillsTheListWithoutScrolling) {
    const ListControl list(host_.Item(IDC_HOTEL_LIST));
    list.InsertColumns(kHotelColumns, static_cast<int>(std::size(kHotelColumns)));
    int total = 0;
    for (int column = 0; column < kFixedColumns; ++column) {
        const int width = ListView_GetColumnWidth(list.Window(), column);
        EXPECT_EQ(width, sizes_->columns[column]) << "column " << column << " at " << sizes_->dpi << " dpi";
        total += width;
    }
    const int last = ListView_GetColumnWidth(list.Window(), kFixedColumns);
    EXPECT_EQ(last, list.RemainingColumnWidth(total));
    EXPECT_GT(last, sizes_->columns[1] / 2) << "the last column keeps a useful width";
    RECT client;
    GetClientRect(list.Window(), &client);
    EXPECT_LE(total + last, client.right - GetSystemMetrics(SM_CXVSCROLL)) << "no horizontal scrolling";
}

TEST_F(DpiScalingTest, SmallIconListTakesTheSystemSmallIconSize) {
    const ImageList images = CreateSmallIconList(GetModuleHandleA(nullptr), IDI_HOTEL);
    ASSERT_TRUE(images);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images.get(), &width, &height);
    EXPECT_EQ(width, sizes_->smallIcon);
    EXPECT_EQ(height, sizes_->smallIcon);
    EXPECT_EQ(ImageList_GetImageCount(images.get()), 1);
}

TEST_F(DpiScalingTest, CaptionMarginScales) {
    ASSERT_TRUE(caption_.Bind(host_.Item(IDC_CONDITIONS_CAPTION)));
    caption_.startColour = RGB(50, 50, 255);
    caption_.endColour = RGB(150, 150, 240);
    caption_.textColour = RGB(255, 255, 255);
    test::ShowAndPaint(host_.Window());
    const test::ClientCapture capture = test::CaptureClient(caption_.Window());
    int textLeft = -1;
    for (int x = 0; x < capture.width && textLeft < 0; ++x) {
        for (int y = 0; y < capture.height; ++y) {
            if ((capture.At(x, y) & 0xFF) > 200) {  // white text on a gradient whose red stays at 150 or below
                textLeft = x;
                break;
            }
        }
    }
    // The first character's own left bearing grows with the font.
    EXPECT_GE(textLeft, sizes_->captionMargin);
    EXPECT_LE(textLeft, sizes_->captionMargin * 13 / 10);
}

}  // namespace
}  // namespace qx
