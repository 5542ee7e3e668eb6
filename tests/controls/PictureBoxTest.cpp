#include "controls/PictureBox.h"

#include <gtest/gtest.h>

#include <string>

#include "TestPictures.h"
#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 192, 0);
constexpr int kBoxWidth = 150;
constexpr int kBoxHeight = 195;
// JPEG compression and halftone stretching move colours a little.
constexpr int kTolerance = 12;

class PictureBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PumpPendingMessages();
        ASSERT_NE(host_.Create(nullptr, IDD_TEST_HOST), nullptr);
        test::ShowAndPaint(host_.Window());
        background_ = test::ClientPixel(host_.Window(), 1, 1);
    }
    void TearDown() override {
        host_.DestroyWindow();
        for (const std::string& path : written_) {
            DeleteFileA(path.c_str());
        }
        test::PumpPendingMessages();
    }

    void SetUpBox(test::HostDialog& dialog) {
        HWND control = dialog.Item(IDC_TEST_PICTURE);
        SetWindowPos(control, nullptr, 0, 0, kBoxWidth, kBoxHeight, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_TRUE(box_.Attach(control));
        ASSERT_TRUE(box_.PrepareDrawingContext());
    }

    std::string Picture(int resource, const char* name) {
        written_.push_back(test::WriteResourceFile(resource, name));
        EXPECT_FALSE(written_.back().empty()) << "cannot write test picture " << name;
        return written_.back();
    }
    std::string File(const char* name, const std::string& content) {
        written_.push_back(test::TemporaryPath(name));
        EXPECT_TRUE(test::WriteFileBytes(written_.back(), content.data(), static_cast<DWORD>(content.size())));
        return written_.back();
    }

    test::ClientCapture Screen() const { return test::CaptureClient(box_.Window()); }

    // Checks that exactly the fitted rectangle shows the colour and that the
    // pixels just outside it show the dialog's background.
    void ExpectDrawn(const PictureFit& fit, COLORREF colour) const {
        const test::ClientCapture capture = Screen();
        const int left = fit.leftOffset;
        const int top = fit.topOffset;
        const int right = left + fit.drawnWidth - 1;
        const int bottom = top + fit.drawnHeight - 1;
        for (POINT inside : {POINT{left + 1, top + 1}, POINT{right - 1, bottom - 1}, POINT{(left + right) / 2, (top + bottom) / 2}}) {
            EXPECT_TRUE(test::ColoursClose(capture.At(inside.x, inside.y), colour, kTolerance))
                << "inside at " << inside.x << "," << inside.y << ": " << std::hex << capture.At(inside.x, inside.y);
        }
        for (POINT outside : {POINT{left - 1, top + 1}, POINT{right + 1, bottom - 1}, POINT{left + 1, top - 1},
                              POINT{right - 1, bottom + 1}}) {
            if (outside.x < 0 || outside.y < 0 || outside.x >= kBoxWidth || outside.y >= kBoxHeight) {
                continue;
            }
            EXPECT_EQ(capture.At(outside.x, outside.y), background_)
                << "outside at " << outside.x << "," << outside.y;
        }
    }

    PictureBox box_;
    test::HostDialog host_{[this](test::HostDialog& dialog) { SetUpBox(dialog); }};
    std::uint32_t background_ = 0;
    std::vector<std::string> written_;
};

TEST_F(PictureBoxTest, PictureIsScaledDownToFitAndCentred) {
    struct PictureCase {
        int resource;
        const char* name;
        COLORREF colour;
        int naturalWidth;
        int naturalHeight;
        PictureFit expected;
    };
    const PictureCase cases[] = {
        {IDR_PICTURE_640X480, "qx_test_640x480.jpg", kRed, 640, 480, {150, 112, 41, 0}},
        {IDR_PICTURE_300X600, "qx_test_300x600.jpg", kBlue, 300, 600, {97, 195, 0, 26}},
        {IDR_PICTURE_100X80, "qx_test_100x80.jpg", kGreen, 100, 80, {100, 80, 57, 25}},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(box_.LoadFile(Picture(c.resource, c.name).c_str()));
        EXPECT_TRUE(box_.loaded());
        EXPECT_EQ(box_.naturalWidth(), c.naturalWidth);
        EXPECT_EQ(box_.naturalHeight(), c.naturalHeight);
        EXPECT_EQ(box_.fit().drawnWidth, c.expected.drawnWidth);
        EXPECT_EQ(box_.fit().drawnHeight, c.expected.drawnHeight);
        EXPECT_EQ(box_.fit().topOffset, c.expected.topOffset);
        EXPECT_EQ(box_.fit().leftOffset, c.expected.leftOffset);
        ExpectDrawn(c.expected, c.colour);
    }
}

TEST_F(PictureBoxTest, ASmallerPictureReplacesTheOldOneCompletely) {
    ASSERT_TRUE(box_.LoadFile(Picture(IDR_PICTURE_640X480, "qx_test_640x480.jpg").c_str()));
    ASSERT_TRUE(box_.LoadFile(Picture(IDR_PICTURE_100X80, "qx_test_100x80.jpg").c_str()));
    const test::ClientCapture capture = Screen();
    EXPECT_EQ(capture.At(5, 45), background_) << "where only the old picture was";
    EXPECT_EQ(capture.At(140, 150), background_);
    ExpectDrawn(box_.fit(), kGreen);
}

TEST_F(PictureBoxTest, AFileThatCannotBeLoadedKeepsThePicture) {
    ASSERT_TRUE(box_.LoadFile(Picture(IDR_PICTURE_640X480, "qx_test_640x480.jpg").c_str()));
    const std::string truncated = [] {
        std::string bytes(1, '\xFF');
        bytes += "\xD8\xFF\xE0";
        return bytes;
    }();
    const std::string failures[] = {
        test::TemporaryPath("qx_test_no_such_file.jpg"),
        File("qx_test_text.jpg", "これは画像ではありません"),
        File("qx_test_empty.jpg", ""),
        File("qx_test_truncated.jpg", truncated),
        test::TemporaryPath(""),
        "",
    };
    for (const std::string& path : failures) {
        EXPECT_FALSE(box_.LoadFile(path.c_str())) << path;
        EXPECT_TRUE(box_.loaded());
        EXPECT_EQ(box_.fit().drawnWidth, 150) << path;
        EXPECT_EQ(box_.fit().topOffset, 41) << path;
    }
    RedrawWindow(host_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ExpectDrawn(box_.fit(), kRed);
}

TEST_F(PictureBoxTest, AFileStillOpenForWritingIsNotRead) {
    const std::string path = Picture(IDR_PICTURE_640X480, "qx_test_busy.jpg");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(box_.LoadFile(path.c_str()));
    CloseHandle(writer);
    EXPECT_FALSE(box_.loaded());
    EXPECT_TRUE(box_.LoadFile(path.c_str()));
}

TEST_F(PictureBoxTest, AnEmptyBoxDrawsNothing) {
    EXPECT_FALSE(box_.LoadFile(test::TemporaryPath("qx_test_no_such_file.jpg").c_str()));
    EXPECT_FALSE(box_.loaded());
    RedrawWindow(host_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const test::ClientCapture capture = Screen();
    EXPECT_EQ(capture.At(75, 97), background_);
    EXPECT_EQ(capture.At(0, 0), background_);
}

}  // namespace
}  // namespace qx
