#include "controls/CaptionLabel.h"

#include <gtest/gtest.h>

#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

constexpr COLORREF kStart = RGB(50, 50, 255);
constexpr COLORREF kEnd = RGB(150, 150, 240);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Below 255 pixels the first band is empty: the left edge shows band 1 or 2,
// whose blue is already 254.
constexpr COLORREF kNarrowStart = RGB(50, 50, 254);

// Text pixels are white (or nearly, at anti-aliased edges) on a gradient
// whose red channel stays at or below 150.
bool IsText(std::uint32_t colour) {
    return (colour & 0xFF) > 200;
}

// The columns and rows of a capture that hold text pixels.
struct TextExtent {
    int left = -1;
    int right = -1;  // inclusive
    int top = -1;
    int bottom = -1;  // inclusive
};

// The text pixels of all rows, or of the one row `onlyRow`.
TextExtent FindText(const test::ClientCapture& capture, int onlyRow = -1) {
    TextExtent extent;
    for (int y = 0; y < capture.height; ++y) {
        if (onlyRow >= 0 && y != onlyRow) {
            continue;
        }
        for (int x = 0; x < capture.width; ++x) {
            if (!IsText(capture.At(x, y))) {
                continue;
            }
            extent.left = extent.left < 0 || x < extent.left ? x : extent.left;
            extent.right = x > extent.right ? x : extent.right;
            extent.top = extent.top < 0 ? y : extent.top;
            extent.bottom = y;
        }
    }
    return extent;
}

class CaptionLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PumpPendingMessages();
        ASSERT_NE(host_.Create(nullptr, IDD_TEST_HOST), nullptr);
        caption_ = host_.Item(IDC_TEST_CAPTION);
        test::ShowAndPaint(host_.Window());
    }
    void TearDown() override {
        host_.DestroyWindow();
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
        test::PumpPendingMessages();
    }

    void SetUpCaption(test::HostDialog& dialog) {
        ASSERT_TRUE(label_.Bind(dialog.Item(IDC_TEST_CAPTION)));
        label_.startColour = kStart;
        label_.endColour = kEnd;
        label_.textColour = kWhite;
    }

    // Resizes the caption, sets its text and has it painted; answers what is
    // on screen.
    test::ClientCapture Show(int width, int height, const char* text) {
        SetWindowPos(caption_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        SetWindowTextA(caption_, text);
        RedrawWindow(host_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return test::CaptureClient(caption_);
    }

    CaptionLabel label_;
    test::HostDialog host_{[this](test::HostDialog& dialog) { SetUpCaption(dialog); }};
    HWND caption_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(CaptionLabelTest, GradientPixelsOfA255PixelCaption) {
    const test::ClientCapture capture = Show(255, 20, "");
    ASSERT_EQ(capture.width, 255);
    struct PixelCase {
        int x;
        COLORREF expected;
    };
    const PixelCase cases[] = {
        {0, RGB(50, 50, 255)},
        {1, RGB(50, 50, 254)},
        {3, RGB(51, 51, 254)},
        {127, RGB(99, 99, 247)},
        {254, RGB(149, 149, 240)},
    };
    for (const PixelCase& c : cases) {
        for (int y : {0, 10, 19}) {
            EXPECT_EQ(capture.At(c.x, y), c.expected) << "x " << c.x << " y " << y;
        }
    }
}

TEST_F(CaptionLabelTest, NarrowCaptionIsFilledEdgeToEdge) {
    const test::ClientCapture capture = Show(100, 12, "");
    ASSERT_EQ(capture.width, 100);
    EXPECT_EQ(capture.At(0, 5), kNarrowStart);
    EXPECT_EQ(capture.At(99, 5), RGB(149, 149, 240));
    for (int x = 1; x < 100; ++x) {
        const std::uint32_t left = capture.At(x - 1, 5);
        const std::uint32_t here = capture.At(x, 5);
        ASSERT_GE(here & 0xFF, left & 0xFF) << "red never falls, x " << x;
        ASSERT_LE(here >> 16, left >> 16) << "blue never rises, x " << x;
    }
}

TEST_F(CaptionLabelTest, TextIsPlacedByAlignmentAndMarginAndCentredVertically) {
    struct AlignmentCase {
        int alignment;
        int margin;
    };
    const AlignmentCase cases[] = {
        {CaptionLabel::kAlignLeft, 10},
        {CaptionLabel::kAlignLeft, 40},
        {CaptionLabel::kAlignCentre, 10},
        {CaptionLabel::kAlignRight, 10},
        {7, 25},  // any other value aligns right
    };
    for (const AlignmentCase& c : cases) {
        label_.alignment = c.alignment;
        label_.margin = c.margin;
        const test::ClientCapture capture = Show(240, 30, "■■");
        const TextExtent text = FindText(capture);
        ASSERT_GE(text.left, 0) << "alignment " << c.alignment;
        const int width = text.right - text.left + 1;
        if (c.alignment == CaptionLabel::kAlignLeft) {
            EXPECT_GE(text.left, c.margin);
            EXPECT_LE(text.left, c.margin + 3);
        } else if (c.alignment == CaptionLabel::kAlignCentre) {
            EXPECT_NEAR(text.left + width / 2, 120, 3);
        } else {
            EXPECT_LE(text.right, 240 - 1 - c.margin);
            EXPECT_GE(text.right, 240 - 1 - c.margin - 3);
        }
        EXPECT_NEAR((text.top + text.bottom) / 2, 15, 2) << "alignment " << c.alignment;
        EXPECT_EQ(capture.At(0, 0), kNarrowStart) << "the gradient stays under the text";
    }
}

TEST_F(CaptionLabelTest, NewTextShowsOnTheSameGradient) {
    const test::ClientCapture empty = Show(240, 24, "");
    const TextExtent one = FindText(Show(240, 24, "■"), 12);
    const test::ClientCapture capture = Show(240, 24, "■ ■ ■");
    const TextExtent three = FindText(capture, 12);
    ASSERT_GE(one.left, 0);
    EXPECT_EQ(three.left, one.left);
    EXPECT_GT(three.right - three.left, 2 * (one.right - one.left));
    // The text is drawn without a background of its own: beside and between
    // the characters the gradient shows as it does without text.
    int gradientPixels = 0;
    for (int x = 0; x < capture.width; ++x) {
        if (IsText(capture.At(x, 12)) || IsText(capture.At(x - 1, 12)) || IsText(capture.At(x + 1, 12))) {
            continue;
        }
        ASSERT_EQ(capture.At(x, 12), empty.At(x, 12)) << "x " << x;
        gradientPixels += x > three.left && x < three.right ? 1 : 0;
    }
    EXPECT_GT(gradientPixels, 0) << "the gaps between the characters were compared";
}

TEST_F(CaptionLabelTest, AmpersandIsAMnemonicPrefixNotDrawn) {
    const TextExtent plain = FindText(Show(240, 24, "■"));
    const TextExtent plainMiddle = FindText(Show(240, 24, "■"), 12);
    const TextExtent prefixed = FindText(Show(240, 24, "&■"));
    const TextExtent prefixedMiddle = FindText(Show(240, 24, "&■"), 12);
    ASSERT_GE(plainMiddle.left, 0);
    EXPECT_EQ(prefixedMiddle.left, plainMiddle.left) << "no ampersand drawn before the character";
    EXPECT_EQ(prefixedMiddle.right, plainMiddle.right);
    EXPECT_GT(prefixed.bottom, plain.bottom) << "the character after & is underlined";
    const TextExtent doubled = FindText(Show(240, 24, "&&"), 12);
    EXPECT_GE(doubled.left, 0) << "&& draws one ampersand";
}

TEST_F(CaptionLabelTest, TextWiderThanTheCaptionRunsToItsEdgeOnOneLine) {
    const test::ClientCapture capture = Show(60, 40, "■■■■■■■■■■■■■■■■■■■■■■■■");
    const TextExtent text = FindText(capture);
    EXPECT_GE(text.left, 10);
    EXPECT_GE(text.right, 60 - 1 - 14) << "characters up to the edge (one advance is about 12 pixels)";
    EXPECT_LT(text.bottom - text.top, 20) << "one line";
    EXPECT_NEAR((text.top + text.bottom) / 2, 20, 2);
    RECT caption;
    GetWindowRect(caption_, &caption);
    MapWindowPoints(nullptr, host_.Window(), reinterpret_cast<POINT*>(&caption), 2);
    const test::ClientCapture dialog = test::CaptureClient(host_.Window());
    const std::uint32_t background = dialog.At(1, 1);
    for (int x = caption.right; x < caption.right + 40; ++x) {
        ASSERT_EQ(dialog.At(x, (caption.top + caption.bottom) / 2), background) << "text beyond the caption at x " << x;
    }
}

TEST_F(CaptionLabelTest, TextUsesTheControlsOwnFont) {
    const TextExtent small = FindText(Show(240, 40, "■"));
    font_ = CreateFontA(32, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "ＭＳ Ｐゴシック");
    ASSERT_NE(font_, nullptr);
    SendMessageA(caption_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    const TextExtent large = FindText(Show(240, 40, "■"));
    ASSERT_GE(small.top, 0);
    ASSERT_GE(large.top, 0);
    EXPECT_GT(large.bottom - large.top, 2 * (small.bottom - small.top));
}

}  // namespace
}  // namespace qx
