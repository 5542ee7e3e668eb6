#include "net/HotelPictureDownload.h"

#include "net/HotelPictureFiles.h"
#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

using qx::test::ServiceUrl;

// The files the download's private copies are written to.
int PrivateFilesLeft() {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(directory) + "qxp*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 1;
    while (FindNextFileA(search, &found)) {
        ++count;
    }
    FindClose(search);
    return count;
}

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A window standing in for the plan window: its picture box shows the waiting picture.
class PictureDownload : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qx::test::ServiceStartedAroundTest()) {
            GTEST_SKIP() << "the local web service is not running (run through CTest)";
        }
        ASSERT_TRUE(qx::TempFilePath(qx::kHotelPictureName, hotelPath_));
        ASSERT_TRUE(qx::TempFilePath(qx::kWaitPictureName, waitPath_));
        qx::DeletePictureFiles(hotelPath_, waitPath_);
        privateFilesBefore_ = PrivateFilesLeft();
        ASSERT_TRUE(qx::ExtractWaitImage(waitPath_));
        ASSERT_NE(host_.Create(nullptr, IDD_TEST_HOST), nullptr);
        ASSERT_TRUE(box_.Attach(host_.Item(IDC_TEST_PICTURE)));
        ASSERT_TRUE(box_.PrepareDrawingContext());
        ASSERT_TRUE(box_.LoadFile(waitPath_));
        qx::test::ShowAndPaint(host_.Window());
    }
    void TearDown() override {
        host_.DestroyWindow();
        qx::DeletePictureFiles(hotelPath_, waitPath_);
        qx::test::PumpPendingMessages();
    }
    // Private files of downloads left in the temporary directory by this test.
    int PrivateFilesNow() const { return PrivateFilesLeft() - privateFilesBefore_; }
    bool ShowsWaitingPicture() const { return box_.naturalWidth() == 119 && box_.naturalHeight() == 134; }

    int privateFilesBefore_ = 0;
    char hotelPath_[qx::kPicturePathWidth] = {};
    char waitPath_[qx::kPicturePathWidth] = {};
    qx::test::HostDialog host_{nullptr};
    qx::PictureBox box_;
};

TEST_F(PictureDownload, ReplacesTheWaitingPictureWithTheHotelPicture) {
    qx::HotelPictureDownload download;
    EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), download, box_,
                                         ServiceUrl("/img/hotel/1035.jpg?size=m&v=1").c_str(), hotelPath_));
    EXPECT_TRUE(box_.loaded());
    EXPECT_FALSE(ShowsWaitingPicture());
    EXPECT_EQ(qx::test::ReadWholeFile(hotelPath_).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(PrivateFilesNow(), 0);
}

// Another program (a virus scanner, a viewer) reading the picture files, as
// the C runtime opens a file for reading: shared for reading and writing.
HANDLE OpenAsAnotherReader(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(PictureDownload, AnotherReaderOfThePictureFilesCostsNoPicture) {
    HANDLE waitReader = OpenAsAnotherReader(waitPath_);
    HANDLE hotelReader = OpenAsAnotherReader(hotelPath_);
    ASSERT_NE(waitReader, INVALID_HANDLE_VALUE);
    ASSERT_NE(hotelReader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(qx::ExtractWaitImage(waitPath_));
    EXPECT_TRUE(box_.LoadFile(waitPath_));
    EXPECT_TRUE(ShowsWaitingPicture());

    qx::HotelPictureDownload download;
    EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), download, box_,
                                         ServiceUrl("/img/hotel/1035.jpg?size=m&v=1").c_str(), hotelPath_));
    EXPECT_FALSE(ShowsWaitingPicture());
    EXPECT_EQ(qx::test::ReadWholeFile(hotelPath_).substr(0, 2), "\xFF\xD8");
    CloseHandle(hotelReader);
    CloseHandle(waitReader);
}

TEST_F(PictureDownload, FailureKeepsTheWaitingPictureAndAnEmptyHotelFile) {
    const std::string cases[] = {
        ServiceUrl("/img/hotel/999999.jpg"), ServiceUrl("/_fault/status500"), ServiceUrl("/_fault/reset"), "",
    };
    for (const std::string& url : cases) {
        qx::HotelPictureDownload download;
        EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), download, box_, url.c_str(), hotelPath_));
        EXPECT_TRUE(ShowsWaitingPicture()) << url;
        EXPECT_TRUE(Exists(hotelPath_)) << url;
        EXPECT_EQ(qx::test::ReadWholeFile(hotelPath_), "") << url;
        EXPECT_EQ(PrivateFilesNow(), 0) << url;
    }
}

TEST_F(PictureDownload, PathThatCouldNotBeBuiltGivesNoPictureAndNoRequest) {
    const std::string marker = qx::test::UniqueMarker();
    qx::HotelPictureDownload download;
    EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), download, box_, ServiceUrl("/?" + marker).c_str(), ""));
    EXPECT_TRUE(ShowsWaitingPicture());
    EXPECT_TRUE(qx::test::LoggedRequests(marker).empty());
}

// Another program opens the private file as soon as it exists, sharing it for
// deletion only: the download cannot hold it for reading and deletion.
HANDLE g_otherOpener = INVALID_HANDLE_VALUE;
void OpenAsAnotherProgram(const char* path) {
    g_otherOpener = CreateFileA(path, GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
}

TEST_F(PictureDownload, PrivateFileThatCannotBeHeldIsRemovedAtOnce) {
    qx::HotelPictureDownload download;
    download.privateFileMade = OpenAsAnotherProgram;
    EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), download, box_,
                                         ServiceUrl("/img/hotel/1035.jpg?size=m&v=1").c_str(), hotelPath_));
    ASSERT_NE(g_otherOpener, INVALID_HANDLE_VALUE);
    CloseHandle(g_otherOpener);
    g_otherOpener = INVALID_HANDLE_VALUE;
    EXPECT_TRUE(ShowsWaitingPicture());
    EXPECT_EQ(PrivateFilesNow(), 0);
}

// Closes the first window during its download, once its request has reached
// the service, as the plan window's Close button does, keeping a hold on the
// job to see its worker end.
const char kSlowPicture[] = "/_fault/delay?seconds=1";
std::size_t g_slowRequestsBefore = 0;
qx::HotelPictureDownload* g_closing = nullptr;
qx::HttpFetchJobPtr g_lateJob;
const char* g_paths[2] = {};
void CALLBACK CloseDuringDownload(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_closing->runningJob() || qx::test::LoggedRequests(kSlowPicture).size() == g_slowRequestsBefore) {
        return;
    }
    KillTimer(nullptr, timer);
    g_closing->runningJob()->AddReference();
    g_lateJob.reset(g_closing->runningJob());
    g_closing->Close();
    qx::DeletePictureFiles(g_paths[0], g_paths[1]);
}

TEST_F(PictureDownload, ClosingDuringTheDownloadLeavesNothingAndSparesTheNextPicture) {
    qx::HotelPictureDownload first;
    g_closing = &first;
    g_paths[0] = hotelPath_;
    g_paths[1] = waitPath_;
    g_slowRequestsBefore = qx::test::LoggedRequests(kSlowPicture).size();
    SetTimer(nullptr, 0, 20, CloseDuringDownload);
    const DWORD start = GetTickCount();
    // The service answers only after a second, well after the window closed.
    EXPECT_TRUE(
        qx::DownloadHotelPicture(host_.Window(), first, box_, ServiceUrl(kSlowPicture).c_str(), hotelPath_));
    EXPECT_LT(GetTickCount() - start, 800u) << "the closed window kept waiting";
    ASSERT_TRUE(g_lateJob);
    EXPECT_FALSE(Exists(hotelPath_)) << "a closed window's download put its file back";

    // The next window downloads its picture, the first worker perhaps still running.
    qx::HotelPictureDownload second;
    EXPECT_TRUE(qx::DownloadHotelPicture(host_.Window(), second, box_, ServiceUrl("/img/hotel/1065.jpg").c_str(),
                                         hotelPath_));
    const std::string picture = qx::test::ReadWholeFile(hotelPath_);
    ASSERT_EQ(picture.substr(0, 2), "\xFF\xD8");

    // The first worker ends; when its job goes, so does its private file.
    ASSERT_EQ(WaitForSingleObject(g_lateJob->workerEnded.get(), 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    g_lateJob.reset();
    EXPECT_EQ(qx::test::ReadWholeFile(hotelPath_), picture);
    EXPECT_EQ(PrivateFilesNow(), 0);
}

}  // namespace
