#include "net/HotelPictureFiles.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string TempDirectory() {
    char directory[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof directory, directory);
    return std::string(directory, length);
}

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const char* path, const std::string& content) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

// Points the temporary directory somewhere else for one scope.
class ScopedTempDirectory {
public:
    explicit ScopedTempDirectory(const std::string& directory) {
        GetEnvironmentVariableA("TMP", tmp_, sizeof tmp_);
        GetEnvironmentVariableA("TEMP", temp_, sizeof temp_);
        SetEnvironmentVariableA("TMP", directory.c_str());
        SetEnvironmentVariableA("TEMP", directory.c_str());
    }
    ~ScopedTempDirectory() {
        SetEnvironmentVariableA("TMP", tmp_[0] ? tmp_ : nullptr);
        SetEnvironmentVariableA("TEMP", temp_[0] ? temp_ : nullptr);
    }

private:
    char tmp_[MAX_PATH] = {};
    char temp_[MAX_PATH] = {};
};

TEST(TempFilePath, JoinsTheTemporaryDirectoryAndTheName) {
    char path[qx::kPicturePathWidth];
    ASSERT_TRUE(qx::TempFilePath(qx::kHotelPictureName, path));
    const std::string directory = TempDirectory();
    ASSERT_EQ(directory.back(), '\\');
    EXPECT_EQ(std::string(path), directory + "hotel_image.jpg");
}

TEST(TempFilePath, RefusesADirectoryTooLongForTheField) {
    // 3 + 238 + 1 + 15 = 257 bytes of path: one too many for a 256-byte field.
    char path[qx::kPicturePathWidth + 8];
    std::memset(path, '#', sizeof path);
    {
        ScopedTempDirectory longer("C:\\" + std::string(238, 'd'));
        EXPECT_FALSE(qx::TempFilePath(qx::kHotelPictureName, path, qx::kPicturePathWidth));
    }
    EXPECT_EQ(path[0], '\0');
    EXPECT_EQ(path[qx::kPicturePathWidth], '#');
    {
        ScopedTempDirectory longest("C:\\" + std::string(236, 'd'));
        EXPECT_TRUE(qx::TempFilePath(qx::kHotelPictureName, path, qx::kPicturePathWidth));
    }
    EXPECT_EQ(std::strlen(path), 255u);
}

class WaitImage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qx::TempFilePath(qx::kWaitPictureName, path_)); }
    void TearDown() override { DeleteFileA(path_); }
    char path_[qx::kPicturePathWidth] = {};
};

TEST_F(WaitImage, IsWrittenWholeAsABaselineJpeg) {
    ASSERT_TRUE(qx::ExtractWaitImage(path_));
    const std::string bytes = qx::test::ReadWholeFile(path_);
    ASSERT_GT(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(0, 4), "\xFF\xD8\xFF\xE0");
    EXPECT_EQ(bytes.substr(6, 5), std::string("JFIF\0", 5));
    // Baseline frame: 134 lines of 119 samples, three components.
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos);
    EXPECT_EQ(bytes.substr(frame + 5, 5), std::string("\x00\x86\x00\x77\x03", 5));

}

TEST_F(WaitImage, ReplacesALongerFileWhole) {
    WriteFile(path_, std::string(100000, 'x'));
    ASSERT_TRUE(qx::ExtractWaitImage(path_));
    const std::string bytes = qx::test::ReadWholeFile(path_);
    EXPECT_LT(bytes.size(), 100000u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
}

TEST_F(WaitImage, UnwritablePathIsReported) {
    EXPECT_FALSE(qx::ExtractWaitImage((TempDirectory() + "no-such-directory\\wait_image.jpg").c_str()));
    EXPECT_FALSE(qx::ExtractWaitImage(""));
    // A file held open without sharing cannot be replaced.
    WriteFile(path_, "held");
    HANDLE held = CreateFileA(path_, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(qx::ExtractWaitImage(path_));
    CloseHandle(held);
    EXPECT_EQ(qx::test::ReadWholeFile(path_), "held");
}

TEST(DeletePictureFiles, DeletesBothAndIgnoresMissingOnes) {
    char hotel[qx::kPicturePathWidth];
    char wait[qx::kPicturePathWidth];
    ASSERT_TRUE(qx::TempFilePath(qx::kHotelPictureName, hotel));
    ASSERT_TRUE(qx::TempFilePath(qx::kWaitPictureName, wait));
    WriteFile(hotel, "h");
    WriteFile(wait, "w");
    qx::DeletePictureFiles(hotel, wait);
    EXPECT_FALSE(Exists(hotel));
    EXPECT_FALSE(Exists(wait));
    WriteFile(wait, "w");
    qx::DeletePictureFiles(hotel, wait);
    EXPECT_FALSE(Exists(wait));
    qx::DeletePictureFiles("", "");
}

}  // namespace
